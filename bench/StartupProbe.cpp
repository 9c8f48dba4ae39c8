// Starts the program as its main does and reports when the chooser, and on request the editor of
// the first mod, first painted; then quits. For timing start-up and measuring peak memory.
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/QtMessageBoxes.h"
#include "frontends/qt/QtWindowSystem.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Wall-clock nanoseconds, which a launcher compares with the moment it started the process.
long long RealtimeNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Watches every paint for the first one of each window.
class PaintWatch : public QObject {
public:
    PaintWatch(Clock::time_point start, bool openFirstMod, rotaline::QtWindowSystem& windows)
        : start_(start), openFirstMod_(openFirstMod), windows_(windows) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) {
            return false;
        }
        const QString name = watched->objectName();
        if (name == QLatin1String("frmMODS") && !chooserPainted_) {
            chooserPainted_ = true;
            std::printf("chooser_painted_realtime_ns %lld\n", RealtimeNanoseconds());
            std::printf("chooser_painted_ms_since_main %.2f\n", MillisecondsSince(start_));
            QTimer::singleShot(0, this, [this] { AfterChooser(); });
        } else if (name == QLatin1String("frmRotaline") && !editorPainted_) {
            editorPainted_ = true;
            std::printf("editor_painted_ms_since_edit %.2f\n", MillisecondsSince(editPressed_));
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    void AfterChooser() {
        rotaline::frmMODS* chooser = windows_.ChooserWindow();
        if (!openFirstMod_ || chooser == nullptr || chooser->ModList().ListCount() == 0) {
            QCoreApplication::quit();
            return;
        }
        chooser->ModList().SetListIndex(0);
        editPressed_ = Clock::now();
        chooser->findChild<QPushButton*>(QStringLiteral("cmdEdit"))->click();
    }

    Clock::time_point start_;
    Clock::time_point editPressed_;
    bool openFirstMod_;
    rotaline::QtWindowSystem& windows_;
    bool chooserPainted_ = false;
    bool editorPainted_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    const Clock::time_point start = Clock::now();
    std::optional<std::string> installPath;
    bool openFirstMod = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--install-path") == 0 && i + 1 < argc) {
            installPath = argv[++i];
        } else if (std::strcmp(argv[i], "--open") == 0) {
            openFirstMod = true;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rotaline"));
    QApplication::setApplicationVersion(QStringLiteral("2.00"));
    QApplication::setQuitOnLastWindowClosed(false);

    rotaline::QtMessageBoxes messages;
    rotaline::QtWindowSystem windows(messages);
    PaintWatch watch(start, openFirstMod, windows);
    app.installEventFilter(&watch);
    if (!windows.Start(installPath)) {
        return 1;
    }
    const int status = QApplication::exec();
    std::fflush(stdout);
    return status;
}
