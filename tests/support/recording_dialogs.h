#pragma once

#include "dialogs.h"

#include <QList>

#include <deque>

namespace kinetra::test {

// Message boxes that answer from a script (or with their default) and remember what was shown.
class RecordingDialogs : public Dialogs {
public:
    struct Shown {
        QString text;
        QString title;
        MessageIcon icon;
        MessageButtons buttons;
        MessageAnswer defaultAnswer;
    };

    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon, MessageButtons buttons,
                          MessageAnswer defaultAnswer) override
    {
        shown << Shown{text, title, icon, buttons, defaultAnswer};
        if (onShow)
            onShow();
        if (answers.empty())
            return buttons == MessageButtons::Ok ? MessageAnswer::Ok : defaultAnswer;
        const MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }

    // The files the user "chooses", in order; a cancel when none is left.
    QString chooseFile(FileChoice, const QString& title, const QString&, const QString&) override
    {
        chooseTitles << title;
        if (chosenFiles.empty())
            return {};
        const QString file = chosenFiles.front();
        chosenFiles.pop_front();
        return file;
    }

    QStringList texts() const
    {
        QStringList out;
        for (const Shown& s : shown)
            out << s.text;
        return out;
    }

    QList<Shown> shown;
    std::deque<MessageAnswer> answers;
    std::deque<QString> chosenFiles;
    QStringList chooseTitles;
    // Runs while a box is "open", as a modal box's own event loop would let things happen.
    std::function<void()> onShow;
};

} // namespace kinetra::test
