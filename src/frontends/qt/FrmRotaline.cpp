// The map cycle editor window: its controls, their layout, and the wiring of their events.
#include "frontends/qt/FrmRotaline.h"

#include "core/lists/EditingOperations.h"
#include "core/session/AboutMessage.h"
#include "core/session/ErrorGuard.h"
#include "core/session/SaveAndReturn.h"
#include "core/session/Version.h"
#include "frontends/qt/ClickablePicture.h"
#include "frontends/qt/DisplayText.h"
#include "frontends/qt/ExtendedListView.h"
#include "frontends/qt/QtWindowSystem.h"
#include "frontends/qt/SelectableListModel.h"
#include "frontends/qt/TriangleIcon.h"
#include "frontends/qt/Twips.h"
#include "frontends/qt/WindowLook.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace rotaline {
namespace {

QPushButton* MakeButton(const QString& name, const QString& text, const QRect& geometry,
                        QWidget* parent) {
    auto* button = new WindowButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

// "Marlett" draws "4" and "3" as solid arrowheads; without it the button gets a painted one.
void ShowArrowhead(QPushButton* button, const QString& marlettCharacter,
                   TriangleDirection direction) {
    if (QFontDatabase::families().contains(QStringLiteral("Marlett"))) {
        QFont marlett(QStringLiteral("Marlett"), 18, 500);
        button->setFont(marlett);
        button->setText(marlettCharacter);
    } else {
        button->setText(QString());
        button->setIcon(TriangleIcon(direction));
        button->setIconSize(QSize(24, 24));
    }
}

void ShowPicture(QPushButton* button, const QString& resource) {
    button->setIcon(QIcon(resource));
    button->setIconSize(QSize(32, 32));
}

} // namespace

frmRotaline::frmRotaline(QtWindowSystem& windows, QWidget* owner,
                         std::shared_ptr<RandomSource> random)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      windows_(windows), random_(std::move(random)),
      background_(QStringLiteral(":/editor-background.jpg")) {
    setObjectName(QStringLiteral("frmRotaline"));
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setWindowIcon(QIcon(QStringLiteral(":/rotaline.png")));
    setFont(DefaultWindowFont());
    setFixedSize(TwipsToPixels(6135), TwipsToPixels(5685));

    lstBSP_ = new ExtendedListView(QAbstractItemView::ExtendedSelection, this);
    lstBSP_->setObjectName(QStringLiteral("lstBSP"));
    lstBSP_->setGeometry(TwipsRect(120, 240, 2175, 4350));
    lstBSPModel_ = new SelectableListModel(lists_.lstBSP, this);
    lstBSPModel_->AttachView(lstBSP_);

    lstMap_ = new ExtendedListView(QAbstractItemView::ExtendedSelection, this);
    lstMap_->setObjectName(QStringLiteral("lstMap"));
    lstMap_->setGeometry(TwipsRect(3840, 240, 2175, 3960));
    lstMapModel_ = new SelectableListModel(lists_.lstMap, this);
    lstMapModel_->AttachView(lstMap_);

    cmdMove_ =
        MakeButton(QStringLiteral("cmdMove"), QString(), TwipsRect(2280, 2160, 495, 495), this);
    ShowArrowhead(cmdMove_, QStringLiteral("4"), TriangleDirection::Right);
    cmdRemove_ =
        MakeButton(QStringLiteral("cmdRemove"), QString(), TwipsRect(3360, 2160, 495, 495), this);
    ShowArrowhead(cmdRemove_, QStringLiteral("3"), TriangleDirection::Left);
    cmdUP_ = MakeButton(QStringLiteral("cmdUP"), QString(), TwipsRect(3360, 600, 495, 495), this);
    ShowPicture(cmdUP_, QStringLiteral(":/arrow-up.png"));
    cmdDown_ =
        MakeButton(QStringLiteral("cmdDown"), QString(), TwipsRect(3360, 1080, 495, 495), this);
    ShowPicture(cmdDown_, QStringLiteral(":/arrow-down.png"));

    Label1_ = new QLabel(DisplayText(lists_.Label1.Text()), this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setGeometry(TwipsRect(120, 0, 2175, 255));
    MakeTransparentLabel(Label1_);
    Label2_ = new QLabel(DisplayText(lists_.Label2.Text()), this);
    Label2_->setObjectName(QStringLiteral("Label2"));
    Label2_->setGeometry(TwipsRect(3840, 0, 2175, 255));
    MakeTransparentLabel(Label2_);
    lists_.Label1.OnChange(
        [this](const std::string& text) { SetHeadingText(Label1_, DisplayText(text)); });
    lists_.Label2.OnChange(
        [this](const std::string& text) { SetHeadingText(Label2_, DisplayText(text)); });

    cmdRandom_ = MakeButton(QStringLiteral("cmdRandom"), QStringLiteral("&Randomize List"),
                            TwipsRect(4200, 4320, 1335, 375), this);
    cmdSave_ = MakeButton(QStringLiteral("cmdSave"), QStringLiteral("&Save Map Cycle"),
                          TwipsRect(3240, 4800, 1455, 375), this);
    cmdClose_ = MakeButton(QStringLiteral("cmdClose"), QStringLiteral("&Close"),
                           TwipsRect(4800, 4800, 1215, 375), this);

    lblURL_ = new QLabel(QStringLiteral("https://rotaline.example.org"), this);
    lblURL_->setObjectName(QStringLiteral("lblURL"));
    lblURL_->setGeometry(TwipsRect(120, 5280, 5895, 255));
    MakeTransparentLabel(lblURL_);
    QFont underlined = DefaultWindowFont();
    underlined.setUnderline(true);
    lblURL_->setFont(underlined);

    Image1_ = new ClickablePicture(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setGeometry(TwipsRect(2640, 3120, 960, 960));
    Image1_->setPixmap(QPixmap(QStringLiteral(":/about.bmp")));

    setTabOrder(lstBSP_, lstMap_);
    setTabOrder(lstMap_, cmdMove_);
    setTabOrder(cmdMove_, cmdRemove_);
    setTabOrder(cmdRemove_, cmdUP_);
    setTabOrder(cmdUP_, cmdDown_);
    setTabOrder(cmdDown_, cmdRandom_);
    setTabOrder(cmdRandom_, cmdSave_);
    setTabOrder(cmdSave_, cmdClose_);

    connect(cmdMove_, &QPushButton::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { cmdMove_Click(); }); });
    connect(lstBSP_, &QAbstractItemView::doubleClicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { lstBSP_DblClick(); }); });
    connect(cmdRemove_, &QPushButton::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { cmdRemove_Click(); }); });
    connect(lstMap_, &QAbstractItemView::doubleClicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { lstMap_DblClick(); }); });
    connect(cmdUP_, &QPushButton::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { cmdUP_Click(); }); });
    connect(cmdDown_, &QPushButton::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { cmdDown_Click(); }); });
    connect(cmdRandom_, &QPushButton::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { cmdRandom_Click(); }); });
    connect(cmdSave_, &QPushButton::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { cmdSave_Click(); }); });
    connect(cmdClose_, &QPushButton::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { cmdClose_Click(); }); });
    connect(Image1_, &ClickablePicture::clicked, this,
            [this] { RunGuarded(windows_.Messages(), [this] { Image1_Click(); }); });
}

frmRotaline::~frmRotaline() = default;

void frmRotaline::Show() {
    CentreOnScreen(this);
    show();
    lstBSP_->setFocus();
    // The chooser is hidden right after this; activating now would be undone by its hiding.
    QTimer::singleShot(0, this, [this] {
        activateWindow();
        lstBSP_->setFocus();
    });
}

void frmRotaline::Hide() {
    hide();
}

void frmRotaline::cmdMove_Click() {
    rotaline::cmdMove_Click(lists_);
}

void frmRotaline::lstBSP_DblClick() {
    cmdMove_Click();
}

void frmRotaline::cmdRemove_Click() {
    rotaline::cmdRemove_Click(lists_);
}

void frmRotaline::lstMap_DblClick() {
    cmdRemove_Click();
}

void frmRotaline::cmdUP_Click() {
    rotaline::cmdUP_Click(lists_.lstMap);
}

void frmRotaline::cmdDown_Click() {
    rotaline::cmdDown_Click(lists_.lstMap);
}

void frmRotaline::cmdRandom_Click() {
    rotaline::cmdRandom_Click(lists_.lstMap, *random_);
}

void frmRotaline::cmdSave_Click() {
    rotaline::cmdSave_Click(lists_, windows_.Messages());
}

void frmRotaline::cmdClose_Click() {
    rotaline::cmdClose_Click(windows_, *this);
}

void frmRotaline::Image1_Click() {
    AboutMessage(windows_.Messages());
}

void frmRotaline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

void frmRotaline::closeEvent(QCloseEvent* event) {
    windows_.EditorCloseBox();
    event->accept();
}

} // namespace rotaline
