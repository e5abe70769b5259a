// Whatever a drive (or a noisy line) sends: the check character, the command echo, the value
// and field extraction and the status block decoding must take any bytes.
#include "answer_text.h"
#include "frame.h"
#include "numeric_text.h"

#include <cstddef>
#include <cstdint>

using namespace kinetra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray received(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray answer = cutAnswer(received);
    if (answer.size() > 60)
        __builtin_trap();

    const CrcVerdict verdict = CheckCRC(answer);
    const QByteArray echo = CheckComand(answer);
    if (echo.size() > 4)
        __builtin_trap();
    if (const auto crc = SetCRC(answer); crc && (*crc < 32 || *crc > 255))
        __builtin_trap();
    (void)frameValue(answer, kRawChars);
    for (int k = 0; k < 5; ++k)
        (void)frameField(answer, k);
    (void)decodeStatusBlock(answer);
    (void)describeControlCharacters(received);

    // A frame built from these bytes as its value verifies, as long as nothing in the value can
    // end or open a frame early.
    if (verdict == CrcVerdict::Match || received.size() < 4)
        return 0;
    const QByteArray value = received.mid(4);
    if (value.contains(ctl::ETX) || value.contains(ctl::EOT) || received.left(4).contains(ctl::EOT) ||
        received.left(4).contains(ctl::ETX))
        return 0;
    if (CheckCRC(answerFrame(received.left(4), value)) != CrcVerdict::Match)
        __builtin_trap();
    return 0;
}
