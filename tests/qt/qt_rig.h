// A running front end for tests: Qt's offscreen platform, a temporary
// data root, the application with real Qt dialogs and a fake clock.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/application.h"
#include "qt/dialogs_qt.h"
#include "qt/form_window.h"
#include "qt/front_end.h"
#include "support/harness.h"

namespace mk::test {

// The QApplication all Qt tests share, made on first use.
void ensureQtApp();

struct QtAppFirst {
    QtAppFirst() { ensureQtApp(); }
};

struct QtRig : QtAppFirst {
    QtRig();
    ~QtRig();

    TempRoot root;
    FakeClock clock;
    Machine machine;
    qt::QtDialogs dialogs;
    Application app;
    std::unique_ptr<qt::FrontEnd> frontEnd;

    Database& db();
    qt::FormWindow& show(const std::string& form);
    qt::FormWindow* window(const std::string& form) { return frontEnd->window(form); }
    QWidget* widget(const std::string& form, const std::string& control, int index = -1);
};

// Runs `answer` on the modal dialog named `name` ("MsgBox", "InputBox")
// as soon as it is up.
void whenModal(const QString& name, std::function<void(QWidget&)> answer);

// While it lives, every box that comes up is closed with the answer that
// changes nothing (for windows whose start may ask something).
class AnswerEveryBox {
public:
    AnswerEveryBox();
    ~AnswerEveryBox();

private:
    std::unique_ptr<QObject> timer_;
};

// Lets queued Qt events run for a moment.
void settle(int ms = 30);

// How many pixels differ from the most common colour.
long inkPixels(const QImage& image);

}  // namespace mk::test
