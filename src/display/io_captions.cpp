#include "io_captions.h"

#include "display_numbers.h"
#include "display_window.h"

#include <limits>

namespace kinetra {

void showIoCaption(WindowElements& window, const DisplayWindow& extra, int line, int position)
{
    static const char* const prefixes[] = {"IN1 (", "IN2 (", "IN3 (", "OUT ("};
    if (line < 0 || line > 3)
        return;
    if (const auto item = extra.itemText(el::cmbPara(2146 + line), position))
        window.setText(el::lblEA(line), QString::fromLatin1(prefixes[line]) + *item + QLatin1Char(')'));
}

void showIoCaption(WindowElements& window, const DisplayWindow& extra, int line, const QString& text)
{
    const auto position = wholeNumber(text);
    if (position && *position >= 0 && *position <= std::numeric_limits<int>::max())
        showIoCaption(window, extra, line, static_cast<int>(*position));
}

} // namespace kinetra
