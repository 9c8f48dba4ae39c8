// A picture that reports clicks.
#pragma once

#include <QLabel>

namespace rotaline {

class ClickablePicture : public QLabel {
    Q_OBJECT
public:
    explicit ClickablePicture(QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace rotaline
