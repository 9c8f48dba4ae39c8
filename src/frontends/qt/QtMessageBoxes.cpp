// Message boxes shown with QMessageBox, modal to the program.
#include "frontends/qt/QtMessageBoxes.h"

#include "frontends/qt/DisplayText.h"

#include <QApplication>
#include <QMessageBox>

namespace rotaline {

void QtMessageBoxes::Show(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    DisplayText(title), DisplayText(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

} // namespace rotaline
