#include "core/MessageBox.h"

#include <utility>

namespace vetorlan {

namespace {
MessageBoxHandler& currentHandler() {
    static MessageBoxHandler handler;
    return handler;
}
} // namespace

MsgAnswer ShowMessageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) {
    if (currentHandler())
        return currentHandler()(text, title, icon, buttons);
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(currentHandler(), std::move(handler));
}

} // namespace vetorlan
