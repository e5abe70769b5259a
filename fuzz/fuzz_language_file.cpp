// Language files come from the program's folder, where anything may have been put: splitting
// and applying the fields must take any bytes, and a file either applies completely or stops.
#include "language_fields.h"
#include "language_sections.h"
#include "language_targets.h"
#include "shared_state.h"

#include <cstddef>
#include <cstdint>

using namespace kinetra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const LanguageFields read = splitLanguageFields(bytes, kLanguageFieldLimit);
    if (read.fields.size() > kLanguageFieldLimit || (read.complete && read.fields.size() != kLanguageFieldLimit))
        __builtin_trap();
    SharedState state;
    LanguageTargets targets;
    const bool applied = applyLanguageFields(read.fields, state, targets);
    if (applied && read.fields.size() < kLanguageFieldCount)
        __builtin_trap();
    (void)decodeWindows1252(bytes);
    return 0;
}
