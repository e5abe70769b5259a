#pragma once

#include "parameter_catalogue.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kinetra {

// The receive buffer of a poll as it is verified: at most 60 characters, blanks around it
// removed. A blank right after the ETX is the check character of a frame whose check value is
// 0 (it is sent as 32), so it stays.
QByteArray cutAnswer(const QByteArray& received);

// One value of a status block (the answer to 2170) as the receive path stores and shows it, in
// the order it does so. The correction bar has no command number: its line carries
// kCorrectionBar and the bar value h as text.
struct StatusLine {
    int cmd;
    QString text;
};

// PWM output 2183, the bar, motor current 2182, peak current 2184, status word 2180, actual
// position 2170. A field that is not a number leaves out the lines made from it.
QList<StatusLine> decodeStatusBlock(const QByteArray& block);

} // namespace kinetra
