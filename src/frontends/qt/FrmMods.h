// The mod chooser window, the program's start-up window.
#pragma once

#include "core/session/WindowSystem.h"
#include "core/lists/SelectableList.h"

#include <QPixmap>
#include <QWidget>

#include <optional>
#include <string>

class QLabel;
class QListView;
class QPushButton;

namespace rotaline {

class ClickablePicture;
class QtWindowSystem;
class SelectableListModel;

class frmMODS : public QWidget, public Form {
    Q_OBJECT
public:
    explicit frmMODS(QtWindowSystem& windows);
    ~frmMODS() override;

    void Show() override;
    void Hide() override;

    // Each handler runs exactly one operation.
    void Form_Load(const std::optional<std::string>& installPathOverride);
    void cmdEdit_Click();
    void lstModList_DblClick();
    void cmdClose_Click();
    void Image1_Click();

    SelectableList& ModList() { return modList_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QtWindowSystem& windows_;
    SelectableList modList_{SelectionStyle::Single, false};
    QPixmap background_;
    bool centred_ = false;

    QListView* lstModList_;
    SelectableListModel* lstModListModel_;
    QPushButton* cmdClose_;
    QLabel* Label1_;
    QPushButton* cmdEdit_;
    ClickablePicture* Image1_;
};

} // namespace rotaline
