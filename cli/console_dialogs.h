#pragma once

#include "dialogs.h"

#include <QString>

#include <functional>

namespace kinetra {
struct SharedState;
}

namespace kinetra::cli {

class Console;

// The link's message boxes on standard error. Nobody is there to press a button: every box
// takes its default answer. What was shown is counted by kind, so that a command can pick its
// exit code: a refused value (message 75) or the link error ("Error").
class ConsoleDialogs : public Dialogs {
public:
    ConsoleDialogs(Console& console, const SharedState& state) : console_(console), state_(state) {}

    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon, MessageButtons buttons,
                          MessageAnswer defaultAnswer) override;

    // Put in front of the next messages ("2110: "), so a refusal names its parameter.
    void setContext(const QString& context) { context_ = context; }
    int refusals() const { return refusals_; }
    int linkErrors() const { return linkErrors_; }
    // Called after every message (the monitor wakes its wait on a link error).
    void setOnMessage(std::function<void()> f) { onMessage_ = std::move(f); }

private:
    Console& console_;
    const SharedState& state_;
    QString context_;
    int refusals_ = 0;
    int linkErrors_ = 0;
    std::function<void()> onMessage_;
};

} // namespace kinetra::cli
