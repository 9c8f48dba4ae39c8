// A picture that reports clicks.
#include "frontends/qt/ClickablePicture.h"

#include <QMouseEvent>

namespace rotaline {

ClickablePicture::ClickablePicture(QWidget* parent) : QLabel(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void ClickablePicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

} // namespace rotaline
