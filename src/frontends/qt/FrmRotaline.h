// The map cycle editor window.
#pragma once

#include "core/session/WindowSystem.h"
#include "core/lists/EditorLists.h"

#include <QPixmap>
#include <QWidget>

#include <memory>

class QLabel;
class QListView;
class QPushButton;

namespace rotaline {

class ClickablePicture;
class QtWindowSystem;
class RandomSource;
class SelectableListModel;

class frmRotaline : public QWidget, public EditorForm {
    Q_OBJECT
public:
    frmRotaline(QtWindowSystem& windows, QWidget* owner, std::shared_ptr<RandomSource> random);
    ~frmRotaline() override;

    void Show() override;
    void Hide() override;
    EditorLists& Lists() override { return lists_; }

    // Each handler runs exactly one operation.
    void cmdMove_Click();
    void lstBSP_DblClick();
    void cmdRemove_Click();
    void lstMap_DblClick();
    void cmdUP_Click();
    void cmdDown_Click();
    void cmdRandom_Click();
    void cmdSave_Click();
    void cmdClose_Click();
    void Image1_Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QtWindowSystem& windows_;
    std::shared_ptr<RandomSource> random_;
    EditorLists lists_;
    QPixmap background_;

    QListView* lstBSP_;
    QListView* lstMap_;
    SelectableListModel* lstBSPModel_;
    SelectableListModel* lstMapModel_;
    QPushButton* cmdMove_;
    QPushButton* cmdRemove_;
    QPushButton* cmdUP_;
    QPushButton* cmdDown_;
    QLabel* Label1_;
    QLabel* Label2_;
    QPushButton* cmdRandom_;
    QPushButton* cmdSave_;
    QPushButton* cmdClose_;
    QLabel* lblURL_;
    ClickablePicture* Image1_;
};

} // namespace rotaline
