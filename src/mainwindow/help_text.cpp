#include "help_text.h"

namespace kinetra {

HelpText helpFor(int helpStatus, int comOnline)
{
    switch (helpStatus) {
    case 0: return {true, 37};
    case 1: return {true, comOnline == 0 ? 38 : 39};
    case 2: return {true, comOnline == 1 ? 40 : 41};
    default: return {false, 0};
    }
}

} // namespace kinetra
