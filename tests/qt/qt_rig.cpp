#include "qt_rig.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QGlyphRun>
#include <QTextLayout>
#include <QTest>
#include <QTimer>
#include <map>

#include "app/system.h"
#include "data/schema.h"
#include "qt/setup.h"

namespace mk::test {

void ensureQtApp() {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "makhzan_qt_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    qt::configureApplication();
}

QtRig::QtRig()
    : clock(defaultStart()), machine(root.path()), app(machine, clock, dialogs) {
    prepareMachine(machine, clock);
    frontEnd = std::make_unique<qt::FrontEnd>(app);
    frontEnd->quitOnEnd = false;
    dialogs.parent = [this] { return frontEnd->dialogParent(); };
}

QtRig::~QtRig() {
    frontEnd.reset();
    settle(0);
}

Database& QtRig::db() { return machine.database(kDatabasePath); }

qt::FormWindow& QtRig::show(const std::string& form) {
    frontEnd->act([&] { app.show(app.form(form)); });
    settle();
    return *frontEnd->window(form);
}

QWidget* QtRig::widget(const std::string& form, const std::string& control, int index) {
    qt::FormWindow* w = frontEnd->window(form);
    return w ? w->widgetFor(control, index) : nullptr;
}

void openEveryWindow(QtRig& rig, const std::function<void(qt::FormWindow&)>& each,
                     Permissions permissions) {
    registerWindows(rig.app);
    rig.db().exec(std::string("UPDATE DIM SET COMPANY_NAME='ACME', COMP=1, SECURITY=") +
                  (permissions == Permissions::On ? "1" : "0"));
    rig.db().createTable(itemGroupTableDef("G1"));
    rig.db().exec("INSERT INTO qqq (Q) VALUES ('G1')");
    rig.app.setMainForm("Form1");
    AnswerEveryBox answers;
    for (const std::string& name : rig.app.registeredForms()) {
        rig.frontEnd->act([&] {
            try {
                rig.app.show(rig.app.form(name));
            } catch (const std::exception&) {
            }
        });
        settle(0);
        for (qt::FormWindow* w : rig.frontEnd->windows())
            if (w->isVisible()) each(*w);
    }
}

void launchProgram(QtRig& rig) {
    registerWindows(rig.app);
    rig.frontEnd->act([&] { startProgram(rig.app); });
    settle();
}

qt::FormWindow& startMainWindow(QtRig& rig) {
    registerWindows(rig.app);
    rig.db().exec("UPDATE DIM SET COMPANY_NAME='ACME', COMP=1, SECURITY=0");
    rig.db().createTable(itemGroupTableDef("G1"));
    rig.db().exec("INSERT INTO qqq (Q) VALUES ('G1')");
    rig.db().exec("INSERT INTO G1 (\"DESC\", ONSTOCK, UNITE_PRICE, BUY_PRICE) VALUES ('bolt', 10, 25, 6)");
    rig.db().exec("UPDATE Admin SET enter=1");
    rig.app.setMainForm("Form1");
    rig.frontEnd->act([&] { startProgram(rig.app); });
    rig.frontEnd->act([&] { rig.app.click(rig.app.form("Form16").control("Command2")); });
    settle();
    return *rig.window("Form1");
}

qt::FormWindow& openRetailWindow(QtRig& rig) {
    startMainWindow(rig).actionFor("SALES_IN")->trigger();
    settle();
    return *rig.window("Form3");
}

void whenModal(const QString& name, std::function<void(QWidget&)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, name] {
        QWidget* m = QApplication::activeModalWidget();
        if (m && m->objectName() == name) {
            timer->stop();
            timer->deleteLater();
            answer(*m);
        }
    });
    timer->start();
}

AnswerEveryBox::AnswerEveryBox() {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
    });
    timer->start();
    timer_.reset(timer);
}

AnswerEveryBox::~AnswerEveryBox() = default;

namespace {

// A text on one line as a label lays it out: its paragraph runs the way
// its first letter reads.
void layOutOnOneLine(QTextLayout& layout) {
    QTextOption option;
    option.setTextDirection(layout.text().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine().setLineWidth(100000);
    layout.endLayout();
}

}  // namespace

double inkLeftOf(const QString& text, const QString& part, const QFont& font) {
    QTextLayout layout(text, font);
    layOutOnOneLine(layout);
    double left = 1e9;
    const qsizetype at = text.indexOf(part);
    if (at < 0) return left;
    for (const QGlyphRun& run : layout.glyphRuns(static_cast<int>(at), static_cast<int>(part.size())))
        for (const QPointF& p : run.positions()) left = std::min(left, p.x());
    return left;
}

Brackets bracketsOf(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layOutOnOneLine(layout);
    Brackets found;
    double left = 1e9, right = -1e9;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const auto glyphs = run.glyphIndexes();
        const auto at = run.positions();
        for (QChar bracket : {QLatin1Char('<'), QLatin1Char('>')}) {
            const auto wanted = raw.glyphIndexesForString(QString(bracket));
            for (qsizetype i = 0; i < glyphs.size(); ++i) {
                if (wanted.isEmpty() || glyphs[i] != wanted[0]) continue;
                if (at[i].x() < left) left = at[i].x(), found.left = bracket;
                if (at[i].x() > right) right = at[i].x(), found.right = bracket;
            }
        }
    }
    return found;
}

void shoot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("MAKHZAN_SHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    w.grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void settle(int ms) {
    QCoreApplication::processEvents();
    if (ms > 0) QTest::qWait(ms);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

long inkPixels(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, long> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    long most = 0;
    for (const auto& [c, n] : counts) most = std::max(most, n);
    return static_cast<long>(image.width()) * image.height() - most;
}

}  // namespace mk::test
