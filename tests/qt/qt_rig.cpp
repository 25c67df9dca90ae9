#include "qt_rig.h"

#include <QApplication>
#include <QDialog>
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
