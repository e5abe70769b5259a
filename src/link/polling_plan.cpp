#include "drive_com.h"

#include "drive_protocol.h"
#include "shared_state.h"

namespace kinetra {

namespace {

// Short plans between two long steps.
constexpr qint16 kRounds = 50;
// Drives from this level on report the status block in one answer.
constexpr qint16 kStatusBlockLevel = 500;

} // namespace

void DriveCom::pollOnce(int cmd)
{
    ReadCom(cmd, protocol::kAddress);
}

void DriveCom::pollTick()
{
    if (state_.comBusy || depth_ > 0) {
        pollStep_ = 0;
        return;
    }
    ++pollStep_;
    switch (pollStep_) {
    case 1:
        if (state_.firmwareLevel < kStatusBlockLevel) {
            pollOnce(2100);
        } else {
            pollOnce(2170);
            ++pollRounds_;
            pollStep_ = pollRounds_ < kRounds ? 0 : 3;
        }
        break;
    case 2: pollOnce(2180); break;
    case 3:
        pollOnce(2182);
        ++pollRounds_;
        pollStep_ = pollRounds_ == kRounds ? 3 : 0;
        break;
    case 4:
        pollOnce(2429);
        pollRounds_ = 0;
        // On the service tab the four device counters follow, from 2437 on (step 6); setting
        // the step to 6 itself would skip the first of them.
        pollStep_ = observer_.serviceCountersShown() ? 5 : 4;
        break;
    case 5:
        pollOnce(2411);
        pollStep_ = 0;
        break;
    case 6: pollOnce(2437); break;
    case 7: pollOnce(2440); break;
    case 8: pollOnce(2443); break;
    case 9:
        pollOnce(2446);
        pollStep_ = 0;
        break;
    default: break;
    }
}

} // namespace kinetra
