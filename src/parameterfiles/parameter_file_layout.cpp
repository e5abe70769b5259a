#include "parameter_file_layout.h"

namespace kinetra {

QList<int> axisSequence(qint16 firmwareLevel)
{
    QList<int> seq;
    for (int p = 0; p <= 52; ++p)
        seq << p;
    if (firmwareLevel >= kLongAxisSequenceLevel) {
        for (int p = 55; p <= 80; ++p)
            seq << p;
    } else {
        seq << 55 << 80;
    }
    return seq;
}

QList<int> deviceSequence()
{
    QList<int> seq{0, 1, 2, 3};
    for (int p = 10; p <= 19; ++p)
        seq << p;
    for (int p = 25; p <= 48; ++p)
        seq << p;
    return seq;
}

QByteArray recordName(int parameter)
{
    return 'P' + QByteArray::number(parameter);
}

bool isZeroRuleCommand(int cmd)
{
    return cmd == axisCommand(37) || cmd == axisCommand(40);
}

ParameterValue zeroRuleValue(int cmd, const ParameterValue& value)
{
    if (isZeroRuleCommand(cmd) && value.toInteger() == 0)
        return ParameterValue::number(1);
    return value;
}

} // namespace kinetra
