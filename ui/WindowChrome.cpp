#include "ui/WindowChrome.h"

#include <QVariant>
#include <QWidget>

namespace vetorlan {

void SetTitleBar(QWidget& form, bool show) {
    const QRect rect = form.geometry();
    const bool wasVisible = form.isVisible();
    if (!show) {
        form.setProperty("Tag", form.windowTitle());
        form.setWindowTitle(QString());
        form.setWindowFlag(Qt::FramelessWindowHint, true);
    } else {
        form.setWindowTitle(form.property("Tag").toString());
        form.setWindowFlag(Qt::FramelessWindowHint, !form.windowTitle().isEmpty());
    }
    // Changing the window flags hides a shown window; put it back where it was.
    form.setGeometry(rect);
    if (wasVisible)
        form.show();
    form.update();
}

} // namespace vetorlan
