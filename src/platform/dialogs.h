#pragma once

#include <QString>

namespace kinetra {

// Title of the program's message boxes.
inline const QString kApplicationTitle = QStringLiteral("Kinetra");

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };
// Whether a file is chosen to be read or to be written (a file to write may be new).
enum class FileChoice { Open, Save };

// Message boxes. The program's boxes come from here so that tests can answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer message(const QString& text, const QString& title, MessageIcon icon,
                                  MessageButtons buttons = MessageButtons::Ok,
                                  MessageAnswer defaultAnswer = MessageAnswer::Ok) = 0;
    // A file chosen in the platform's file window, starting at `path` (a folder or a file name);
    // `filter` as "CSV files (*.csv)". Empty when the user cancels.
    virtual QString chooseFile(FileChoice choice, const QString& title, const QString& path, const QString& filter)
    {
        Q_UNUSED(choice);
        Q_UNUSED(title);
        Q_UNUSED(path);
        Q_UNUSED(filter);
        return {};
    }
};

} // namespace kinetra
