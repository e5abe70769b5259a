// A parameter file may be anything the user picks: the reader refuses or loads it, for each
// drive level, and never loads more records than the level has.
#include "parameter_file_layout.h"
#include "parameter_file_reader.h"

#include <cstddef>
#include <cstdint>

using namespace kinetra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)hasParameterFileHeader(bytes);
    for (const qint16 level : {qint16(0), qint16(539), qint16(540)}) {
        const ParameterFileContent content = parseParameterFile(bytes, level);
        const qsizetype most = axisSequence(level).size() + deviceSequence().size();
        if (content.records.size() > most)
            __builtin_trap();
        for (const ParameterRecord& r : content.records)
            if (!r.value.isNumber())
                __builtin_trap();
    }
    return 0;
}
