#include "console_window.h"

#include "console.h"
#include "shared_state.h"

namespace kinetra::cli {

void ConsoleWindow::setText(const Element& element, const QString& text)
{
    // The file window's help line names every port as the search tries it: too chatty here.
    if (element != el::helpLine())
        return;
    // "No drive found" is the command's failure, also in quiet mode.
    if (!text.isEmpty() && text != lastHelp_)
        text == state_.message(34) ? console_.error(text) : console_.info(text);
    lastHelp_ = text;
}

void ConsoleWindow::setValue(const Element& element, int value)
{
    if (element == el::progressBar2() || element == el::fileProgressBar2()) {
        // Bars go back to 0 when a transfer ends.
        if (value == 0)
            console_.endProgress();
        else
            console_.progress(value);
    }
}

} // namespace kinetra::cli
