// makhzan: opens (or creates) the database file under the data root and
// shows the system's first window.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "app/system.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/machine.h"
#include "qt/dialogs_qt.h"
#include "qt/front_end.h"
#include "qt/setup.h"

namespace {

bool displayNamed() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;  // offscreen, vnc...: the platform needs no display
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

const char* const kNoDisplay =
    "makhzan: no display is available. Start it from a desktop session "
    "(or set DISPLAY), for example: xvfb-run -a bash scripts/run.sh\n";

// Where the log is kept, once known.
std::filesystem::path logRoot;

// Qt stops the program when it cannot reach the display it was given;
// say so plainly and leave with an error instead of a crash.
void onQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    const QByteArray text = message.toLocal8Bit();
    if (type == QtFatalMsg) {
        if (message.contains(QStringLiteral("display"), Qt::CaseInsensitive) ||
            message.contains(QStringLiteral("platform plugin"), Qt::CaseInsensitive)) {
            std::fputs(kNoDisplay, stderr);
        } else {
            std::fprintf(stderr, "makhzan: %s\n", text.constData());
        }
        std::fflush(stderr);
        std::_Exit(2);
    }
    // The program's own notes (a failure's technical detail) go to its log.
    if (type != QtDebugMsg && message.startsWith(QStringLiteral("makhzan:")) && !logRoot.empty())
        mk::writeLog(logRoot, text.toStdString());
    else if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", text.constData());
}

}  // namespace

int main(int argc, char** argv) {
    if (!displayNamed()) {
        std::fputs(kNoDisplay, stderr);
        return 2;
    }
    // Screen readers and tools that drive the program find it without
    // any setting of their own.
    if (qEnvironmentVariableIsEmpty("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    qInstallMessageHandler(onQtMessage);

    QApplication qapp(argc, argv);
    mk::qt::configureApplication();
    // Qt's own dialogs (files, printing, message boxes) speak Arabic too.
    if (!mk::qt::installQtArabic())
        std::fputs("makhzan: Qt's Arabic translation (qtbase_ar) is missing; Qt's dialogs speak English.\n",
                   stderr);

    const std::filesystem::path root = mk::Machine::defaultRoot();
    logRoot = root;
    try {
        mk::SystemClock clock;
        mk::Machine machine(root);
        mk::qt::QtDialogs dialogs;
        // A second start on data in use, or a database file the program
        // cannot use, is told, and the file is left as it is.
        if (!mk::prepareMachineOrSay(machine, clock, dialogs)) return 1;
        mk::Application app(machine, clock, dialogs);
        mk::registerWindows(app);
        mk::qt::FrontEnd frontEnd(app);
        dialogs.parent = [&frontEnd] { return frontEnd.dialogParent(); };
        frontEnd.act([&app] { mk::startProgram(app); });
        if (app.ended()) return 0;
        if (app.visibleForms().empty()) {
            std::fputs("makhzan: no window could be opened.\n", stderr);
            return 1;
        }
        // The file's whole check goes on beside the first window; a damaged
        // file is told and the program ends, having written nothing to it.
        QTimer fileCheck;
        QObject::connect(&fileCheck, &QTimer::timeout, [&] {
            const mk::StartCheck state = mk::followStartCheck(machine, dialogs);
            if (state == mk::StartCheck::Running) return;
            fileCheck.stop();
            if (state == mk::StartCheck::Failed) QApplication::exit(1);
        });
        fileCheck.start(50);
        return QApplication::exec();
    } catch (const std::exception& e) {
        mk::writeLog(root, mk::failureDetail(e));
        QMessageBox::critical(nullptr, QStringLiteral("makhzan"),
                              QString::fromUtf8(mk::failureMessage(e).c_str()));
        return 1;
    }
}
