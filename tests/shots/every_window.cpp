// makhzan_shots FOLDER [--permissions-on]: opens every window of the
// program under the offscreen platform and saves a picture of each in
// FOLDER (<window>.png), and of the item card with a group chosen and in
// add and of the incoming invoice in add, so a person can look the whole
// front end over in a minute.
#include <QDir>
#include <QTextStream>
#include <cstdio>
#include <set>
#include <string>

#include "qt_rig.h"

using namespace mk;
using namespace mk::test;

namespace {

// The offscreen platform's notes about what it cannot do are no news here.
void quietPlatform(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg ||
        message.startsWith(QStringLiteral("This plugin")) ||
        message.startsWith(QStringLiteral("QStandardPaths")))
        return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: makhzan_shots FOLDER [--permissions-on]\n", stderr);
        return 2;
    }
    const Permissions permissions =
        argc > 2 && std::string(argv[2]) == "--permissions-on" ? Permissions::On : Permissions::Off;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "makhzan_shots: cannot make %s\n", argv[1]);
        return 1;
    }
    qputenv("MAKHZAN_SHOTS", folder.toLocal8Bit());
    qInstallMessageHandler(quietPlatform);
    QtRig rig;
    std::set<std::string> shot;
    openEveryWindow(
        rig,
        [&](qt::FormWindow& w) {
            if (!shot.insert(w.formName()).second) return;
            settle(0);
            shoot(w, qt::qs(w.formName()));
        },
        permissions);

    // The item card is under its cover when the main window opens: shown
    // with a group chosen, then in add.
    rig.db().exec(
        "INSERT INTO G1 (\"DESC\", ONSTOCK, UNITE_PRICE, GROUP_PRICE, BUY_PRICE) "
        "VALUES ('bolt', 10, 25, 22, 20)");
    AnswerEveryBox answers;
    Form& main = rig.app.form("Form1");
    rig.frontEnd->act([&] {
        main.picture("Picture2").visible = false;
        rig.app.show(main);
    });
    rig.frontEnd->act([&] { rig.app.choose(main.dataCombo("DataCombo3"), "G1"); });
    settle();
    shoot(*rig.window("Form1"), QStringLiteral("Form1-card"));
    rig.frontEnd->act([&] { rig.app.click(main.control("cmdaction", 0)); });
    settle();
    shoot(*rig.window("Form1"), QStringLiteral("Form1-card-add"));

    // The incoming invoice in add: its phone box beside the supplier.
    Form& incoming = rig.app.form("Form17");
    rig.frontEnd->act([&] { rig.app.show(incoming); });
    rig.frontEnd->act([&] { rig.app.click(incoming.control("cmdaction", 0)); });
    settle();
    shoot(*rig.window("Form17"), QStringLiteral("Form17-add"));
    QTextStream(stdout) << shot.size() + 3 << " pictures in " << folder << "\n";
    return 0;
}
