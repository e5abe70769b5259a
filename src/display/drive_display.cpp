#include "drive_display.h"

#include "io_captions.h"

namespace kinetra {

DriveDisplay::DriveDisplay(SharedState& state, WindowElements& window, DisplayWindow& extra)
    : window_(window), extra_(extra), device_(state, window, extra), status_(state, window, extra, device_),
      chart_(state, window, extra)
{
}

void DriveDisplay::ioCaption(int line, const QString& text)
{
    showIoCaption(window_, extra_, line, text);
}

} // namespace kinetra
