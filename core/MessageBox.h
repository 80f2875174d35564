#pragma once

#include <QString>
#include <functional>

namespace vetorlan {

enum class MsgIcon { Information, Critical, Question };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// Every message box of the program goes through here. The user interface installs a
// handler that shows a modal QMessageBox; tests install one that records and answers.
using MessageBoxHandler = std::function<MsgAnswer(const QString& text, const QString& title, MsgIcon, MsgButtons)>;

MsgAnswer ShowMessageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);

// Installs a handler and returns the previous one. Without a handler the box is not
// shown and the answer is Ok (or No for a question).
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

} // namespace vetorlan
