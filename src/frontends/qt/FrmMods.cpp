// The mod chooser window: its controls, their layout, and the wiring of their events.
#include "frontends/qt/FrmMods.h"

#include "core/session/AboutMessage.h"
#include "core/session/ErrorGuard.h"
#include "core/session/OpenMod.h"
#include "core/session/Shutdown.h"
#include "core/session/Startup.h"
#include "core/session/Version.h"
#include "frontends/qt/ClickablePicture.h"
#include "frontends/qt/ExtendedListView.h"
#include "frontends/qt/QtWindowSystem.h"
#include "frontends/qt/SelectableListModel.h"
#include "frontends/qt/Twips.h"
#include "frontends/qt/WindowLook.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace rotaline {

frmMODS::frmMODS(QtWindowSystem& windows)
    : QWidget(nullptr), windows_(windows), background_(QStringLiteral(":/chooser-background.jpg")) {
    setObjectName(QStringLiteral("frmMODS"));
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setWindowIcon(QIcon(QStringLiteral(":/rotaline.png")));
    setFont(DefaultWindowFont());
    resize(TwipsToPixels(6105), TwipsToPixels(5655));

    lstModList_ = new ExtendedListView(QAbstractItemView::SingleSelection, this);
    lstModList_->setObjectName(QStringLiteral("lstModList"));
    lstModList_->setGeometry(TwipsRect(240, 360, 3255, 5160));
    lstModList_->setFont(WindowFont(12, true));
    lstModListModel_ = new SelectableListModel(modList_, this);
    lstModListModel_->AttachView(lstModList_);

    cmdClose_ = new WindowButton(QStringLiteral("E&xit"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setGeometry(TwipsRect(4320, 4560, 1215, 375));

    Label1_ = new QLabel(QStringLiteral("Half Life MODs with a Map Cycle"), this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setGeometry(TwipsRect(360, 120, 3015, 255));
    MakeTransparentLabel(Label1_);

    cmdEdit_ = new WindowButton(QStringLiteral("&Edit"), this);
    cmdEdit_->setObjectName(QStringLiteral("cmdEdit"));
    cmdEdit_->setGeometry(TwipsRect(4320, 3720, 1215, 495));

    Image1_ = new ClickablePicture(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setGeometry(TwipsRect(4440, 2400, 960, 960));
    Image1_->setPixmap(QPixmap(QStringLiteral(":/about.bmp")));

    setTabOrder(lstModList_, cmdClose_);
    setTabOrder(cmdClose_, cmdEdit_);
    lstModList_->setFocus();

    connect(cmdEdit_, &QPushButton::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { cmdEdit_Click(); }); });
    connect(lstModList_, &QAbstractItemView::doubleClicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { lstModList_DblClick(); }); });
    connect(cmdClose_, &QPushButton::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { cmdClose_Click(); }); });
    connect(Image1_, &ClickablePicture::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { Image1_Click(); }); });
}

frmMODS::~frmMODS() = default;

void frmMODS::Show() {
    if (!centred_) {
        centred_ = true;
        CentreOnScreen(this);
    }
    show();
    activateWindow();
    lstModList_->setFocus();
}

void frmMODS::Hide() {
    hide();
}

void frmMODS::Form_Load(const std::optional<std::string>& installPathOverride) {
    rotaline::Form_Load(modList_, windows_, installPathOverride);
}

void frmMODS::cmdEdit_Click() {
    rotaline::cmdEdit_Click(modList_, windows_);
}

void frmMODS::lstModList_DblClick() {
    cmdEdit_Click();
}

void frmMODS::cmdClose_Click() {
    rotaline::cmdClose_Click(windows_);
}

void frmMODS::Image1_Click() {
    AboutMessage(windows_.Messages());
}

void frmMODS::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

void frmMODS::closeEvent(QCloseEvent* event) {
    // The close box unloads the chooser like Exit does, which ends the program.
    windows_.ChooserCloseBox();
    event->accept();
}

} // namespace rotaline
