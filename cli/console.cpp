#include "console.h"

#include <QByteArray>

#include <algorithm>

#include <unistd.h>

namespace kinetra::cli {

namespace {

constexpr int kBarWidth = 40;

} // namespace

Console::Console(std::FILE* out, std::FILE* err) : out_(out), err_(err)
{
}

Console::~Console()
{
    endProgress();
}

bool Console::standardErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

void Console::data(const QString& line)
{
    dataBytes((line + QLatin1Char('\n')).toUtf8());
}

void Console::dataBytes(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out_);
    // Rows of a monitor must reach a pipe as they come.
    std::fflush(out_);
}

void Console::error(const QString& text)
{
    writeError(text);
}

void Console::info(const QString& text)
{
    if (!quiet_)
        writeError(text);
}

void Console::writeError(const QString& text)
{
    endProgress();
    const QByteArray line = (QStringLiteral("kinetra-cli: ") + text + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), err_);
    std::fflush(err_);
}

void Console::progress(int done)
{
    if (!progressEnabled())
        return;
    const int total = total_ ? std::max(1, total_()) : 100;
    const int shown = std::clamp(done, 0, total);
    const int percent = shown * 100 / total;
    if (barShown_ && percent == lastPercent_)
        return;
    lastPercent_ = percent;
    const int filled = shown * kBarWidth / total;
    const QByteArray line = "\r[" + QByteArray(filled, '#') + QByteArray(kBarWidth - filled, '.') + "] " +
                            QByteArray::number(percent).rightJustified(3) + "%  " + QByteArray::number(shown) + '/' +
                            QByteArray::number(total) + "  ";
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), err_);
    std::fflush(err_);
    barShown_ = true;
}

void Console::endProgress()
{
    if (!barShown_)
        return;
    // Carriage return, clear to the end of the line.
    std::fputs("\r\033[K", err_);
    std::fflush(err_);
    barShown_ = false;
    lastPercent_ = -1;
}

} // namespace kinetra::cli
