#pragma once

#include <QString>

namespace kinetra {

// Title of the program's message boxes.
inline const QString kApplicationTitle = QStringLiteral("Kinetra");

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Message boxes. The program's boxes come from here so that tests can answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer message(const QString& text, const QString& title, MessageIcon icon,
                                  MessageButtons buttons = MessageButtons::Ok,
                                  MessageAnswer defaultAnswer = MessageAnswer::Ok) = 0;
};

} // namespace kinetra
