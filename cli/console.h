#pragma once

#include <QString>

#include <cstdio>
#include <functional>

namespace kinetra::cli {

// Standard output carries the data, standard error the messages and, on a terminal, the
// progress bar. A message first clears a bar that is on screen, so the two never mix.
class Console {
public:
    Console(std::FILE* out = stdout, std::FILE* err = stderr);
    ~Console();

    void setQuiet(bool quiet) { quiet_ = quiet; }
    // Whether progress is drawn: only on a terminal, never in quiet mode.
    void setProgressEnabled(bool enabled) { progressEnabled_ = enabled; }
    bool progressEnabled() const { return progressEnabled_ && !quiet_; }
    static bool standardErrorIsTerminal();

    // One line of data (a newline is added) and raw bytes of data.
    void data(const QString& line);
    void dataBytes(const QByteArray& bytes);
    // An error: always shown.
    void error(const QString& text);
    // Information (a found drive, a saved file): not in quiet mode.
    void info(const QString& text);

    // The bar: `done` of the total the supplier gives (the total may grow while it runs).
    void setProgressTotal(std::function<int()> total) { total_ = std::move(total); }
    void progress(int done);
    void endProgress();

private:
    void writeError(const QString& text);

    std::FILE* out_;
    std::FILE* err_;
    bool quiet_ = false;
    bool progressEnabled_ = false;
    bool barShown_ = false;
    int lastPercent_ = -1;
    std::function<int()> total_;
};

} // namespace kinetra::cli
