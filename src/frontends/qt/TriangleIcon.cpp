// Paints the Move and Remove buttons' arrowheads.
#include "frontends/qt/TriangleIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace rotaline {

QIcon TriangleIcon(TriangleDirection direction) {
    constexpr int kSize = 24; // 18 points at 96 dots per inch
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const qreal near = 6;
    const qreal far = kSize - 6;
    QPolygonF triangle;
    if (direction == TriangleDirection::Right) {
        triangle << QPointF(near, 3) << QPointF(far, kSize / 2.0) << QPointF(near, kSize - 3);
    } else {
        triangle << QPointF(far, 3) << QPointF(near, kSize / 2.0) << QPointF(far, kSize - 3);
    }
    painter.drawPolygon(triangle);
    painter.end();
    return QIcon(pixmap);
}

} // namespace rotaline
