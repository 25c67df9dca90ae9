#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <map>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/system.h"
#include "data/schema.h"
#include "platform/report.h"
#include "qt/report_painter.h"
#include "qt/report_preview.h"
#include "qt/text.h"
#include "qt_rig.h"
#include "reports/opener.h"
#include "sample_form.h"

namespace mk::test {
namespace {

class FrontEndTest : public ::testing::Test {
protected:
    FrontEndTest() {
        rig.app.registerForm<Sample>();
        rig.app.setMainForm("Sample");
    }
    Sample& sample() { return static_cast<Sample&>(rig.app.form("Sample")); }
    QtRig rig;
};

TEST(FrontEndStart, TheProgramStartsOnAFreshRootWithAWindow) {
    QtRig rig;
    AnswerEveryBox answers;
    registerWindows(rig.app);
    rig.frontEnd->act([&] { startProgram(rig.app); });
    settle();
    EXPECT_TRUE(std::filesystem::exists(rig.root.path() / "C" / "INVENT.MDB"));
    ASSERT_FALSE(rig.app.visibleForms().empty());
    Form* first = rig.app.visibleForms().back();
    qt::FormWindow* w = rig.window(first->name());
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), qt::qs(first->caption));
    const QImage image = w->grab().toImage();
    EXPECT_EQ(image.width(), rig.frontEnd->scale().px(first->width));
    EXPECT_GT(inkPixels(image), 200);
}

// The program, started on a data root: it holds the root while it runs,
// so a second start there is told and opens nothing; the hold ends with
// it, even when it is killed.
TEST(FrontEndStart, TheProgramHoldsItsDataRootUntilItEndsHoweverItEnds) {
    TempRoot root;
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        ::setenv("MAKHZAN_ROOT", root.path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(MAKHZAN_PROGRAM, MAKHZAN_PROGRAM, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    struct Ended {
        pid_t pid;
        ~Ended() {
            if (pid > 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
    } ended{program};
    // It writes its process number into the lock file once it holds it.
    const std::filesystem::path lock = root.path() / "makhzan.lock";
    std::string holder;
    for (int i = 0; i < 400 && holder != std::to_string(program); ++i) {
        QTest::qWait(50);
        std::ifstream in(lock);
        std::getline(in, holder);
    }
    ASSERT_EQ(holder, std::to_string(program));
    // And once it has made its new database file (its one write).
    const std::filesystem::path file = root.path() / "C" / "INVENT.MDB";
    auto made = [&] {
        std::error_code ec;
        return std::filesystem::file_size(file, ec) > 0 && !ec &&
               !std::filesystem::exists(file.string() + "-journal", ec);
    };
    for (int i = 0; i < 400 && !made(); ++i) QTest::qWait(50);
    ASSERT_TRUE(made());

    FakeClock clock{defaultStart()};
    ScriptedDialogs dialogs;
    {
        Machine second(root.path());
        EXPECT_FALSE(prepareMachineOrSay(second, clock, dialogs));
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_EQ(dialogs.messages()[0].prompt.rfind("البرنامج مفتوح بالفعل على هذه البيانات", 0), 0u);
        EXPECT_EQ(second.openDatabaseAt(second.mapPath(kDatabasePath)), nullptr);
    }
    ::kill(program, SIGKILL);
    ::waitpid(program, nullptr, 0);
    ended.pid = 0;
    dialogs.clear();
    Machine after(root.path());
    EXPECT_TRUE(prepareMachineOrSay(after, clock, dialogs));
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(FrontEndTest, ASampleWindowDrawsEveryKind) {
    qt::FormWindow& w = rig.show("Sample");
    const qt::TwipScale& s = rig.frontEnd->scale();
    const QImage image = w.grab().toImage();
    EXPECT_EQ(image.width(), s.px(9000));
    EXPECT_EQ(image.height(), s.px(6600) + w.menuWidget()->height());
    EXPECT_GT(inkPixels(image), 3000);

    // Drawn where the window puts it.
    QWidget* button = rig.widget("Sample", "Command1");
    EXPECT_EQ(button->geometry(), s.rect(240, 2400, 1200, 375));
    // Inside a container, at the same spot on screen, clipped by it.
    QWidget* option = rig.widget("Sample", "Option1", 1);
    EXPECT_EQ(option->parentWidget(), rig.widget("Sample", "Frame1"));
    const QRect frame = s.rect(4800, 240, 3900, 1600);
    EXPECT_EQ(option->geometry(), s.rect(4920, 1020, 1500, 315).translated(-frame.topLeft()));
    EXPECT_EQ(rig.widget("Sample", "Label4")->parentWidget(), rig.widget("Sample", "Picture1"));

    // Hidden, disabled and locked states are read by the accessibility test.
    auto* locked = qobject_cast<QLineEdit*>(rig.widget("Sample", "Text1", 1));
    EXPECT_TRUE(locked && locked->isReadOnly());
    EXPECT_EQ(qobject_cast<QLineEdit*>(rig.widget("Sample", "Text1", 2))->echoMode(), QLineEdit::Password);
    EXPECT_EQ(w.widgetFor("Timer1"), nullptr);
    EXPECT_EQ(rig.widget("Sample", "Adodc1")->findChildren<QToolButton*>().size(), 4);
    EXPECT_EQ(rig.widget("Sample", "Drive1")->property("currentIndex").toInt() >= 0, true);

    // A data combo lists its row source; a code change of the model shows.
    rig.db().exec("INSERT INTO BUYER (BUYER) VALUES ('أحمد'), ('محمود')");
    rig.frontEnd->act([&] { sample().Adodc1->Refresh(); });
    auto* combo = qobject_cast<QComboBox*>(rig.widget("Sample", "DataCombo1"));
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "محمود");
    auto* list = qobject_cast<QListView*>(rig.widget("Sample", "DataList1"));
    EXPECT_EQ(list->model()->rowCount(), 2);
    // Both lists over those rows show one model, sized by rows of one height.
    auto shown = [](QAbstractItemModel* m) {
        auto* proxy = qobject_cast<QAbstractProxyModel*>(m);
        return proxy ? proxy->sourceModel() : m;
    };
    EXPECT_EQ(shown(combo->model()), shown(list->model()));
    EXPECT_TRUE(qobject_cast<QListView*>(combo->view())->uniformItemSizes());
    EXPECT_EQ(w.surface()->printed().size(), 1u);
    // Lines printed past the bottom keep the last ones in view.
    rig.frontEnd->act([&] {
        for (int i = 0; i < 200; ++i) sample().Print({"line", i});
    });
    ASSERT_FALSE(w.surface()->printed().empty());
    EXPECT_EQ(w.surface()->printed().back().text, "line 199 ");
    EXPECT_EQ(w.surface()->printed().size(), static_cast<size_t>(w.surface()->linesThatFit()));

    // Hiding the container hides what it holds.
    rig.frontEnd->act([&] { sample().Frame1->visible = false; });
    EXPECT_FALSE(option->isVisible());
}

TEST_F(FrontEndTest, InputGoesThroughTheRuntime) {
    rig.show("Sample");
    QWidget* button = rig.widget("Sample", "Command1");
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
    EXPECT_EQ(sample().clicks, 1);
    // The handler's change of a box reaches its widget.
    EXPECT_EQ(qobject_cast<QLineEdit*>(rig.widget("Sample", "Text1", 0))->text(), "تم الحفظ");

    auto* box = qobject_cast<QLineEdit*>(rig.widget("Sample", "Text1", 0));
    box->clear();
    QTest::keyClicks(box, "abc");
    EXPECT_EQ(sample().Text1[0]->text(), "abc");
    // A locked box takes nothing.
    QTest::keyClicks(rig.widget("Sample", "Text1", 1), "9");
    EXPECT_EQ(sample().Text1[1]->text(), "0123");

    QTest::mouseClick(rig.widget("Sample", "Check1"), Qt::LeftButton);
    EXPECT_EQ(sample().Check1->value(), 1);
    QTest::mouseClick(rig.widget("Sample", "Option1", 1), Qt::LeftButton);
    EXPECT_TRUE(sample().Option1[1]->value);
    EXPECT_FALSE(sample().Option1[0]->value);

    // Menu commands and their shortcuts.
    rig.window("Sample")->actionFor("save")->trigger();
    EXPECT_EQ(sample().saves, 1);
    EXPECT_EQ(rig.window("Sample")->actionFor("save")->shortcut(), QKeySequence("Ctrl+S"));

    // Timers tick in real time on the application clock.
    rig.clock.setMs(1000);
    settle(80);
    EXPECT_EQ(sample().ticks, 1);
    EXPECT_EQ(qobject_cast<QLabel*>(rig.widget("Sample", "Label5"))->text(), "1");

    // Closing the main window ends the program and closes its window.
    bool ended = false;
    QObject::connect(rig.frontEnd.get(), &qt::FrontEnd::ended, [&] { ended = true; });
    rig.window("Sample")->close();
    settle();
    EXPECT_TRUE(rig.app.ended());
    EXPECT_TRUE(ended);
    EXPECT_EQ(rig.window("Sample"), nullptr);
}

// What a user sees of every shown window: its title, size and printed
// lines, each menu item, and each control's widget (by its properties).
std::map<std::string, std::string> onScreen(QtRig& rig) {
    std::map<std::string, std::string> out;
    auto put = [&](const QString& key, const QVariant& v) {
        QString shown;
        QDebug(&shown) << v;
        out[key.toStdString()] = shown.toStdString();
    };
    for (Form* f : rig.app.visibleForms()) {
        qt::FormWindow* w = rig.window(f->name());
        const QString form = qt::qs(f->name());
        put(form, QVariantList{w->windowTitle(), w->size(), w->surface()->isEnabled(),
                               w->surface()->palette().window().color(), w->surface()->accessibleName()});
        for (MenuItem* m : f->allMenus())
            if (QAction* a = w->actionFor(m->name(), m->index()))
                put(form + "." + qt::qs(m->name()),
                    QVariantList{a->text(), a->isEnabled(), a->isVisible(), a->isChecked()});
        for (const auto& c : f->controls()) {
            QWidget* x = w->widgetFor(*c);
            if (!x) continue;
            const QString key = form + "." + qt::qs(c->fullName()) + ".";
            put(key + "shown", QVariantList{x->isHidden(), x->parentWidget()->objectName()});
            for (const char* p : {"geometry", "enabled", "accessibleName", "toolTip", "font", "text",
                                  "plainText", "title", "checked", "currentText", "currentIndex", "count",
                                  "currentRow", "placeholderText", "readOnly", "echoMode", "maxLength",
                                  "alignment"})
                if (QVariant v = x->property(p); v.isValid()) put(key + p, v);
            if (auto* list = qobject_cast<QAbstractItemView*>(x))
                put(key + "rows", QVariantList{list->model()->rowCount(), list->currentIndex().row()});
            for (QLabel* l : x->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
                put(key + "label", l->text());
        }
    }
    return out;
}

// Each pass draws only what changed since the last; drawing everything
// again after each step of a clerk's work must change nothing.
TEST(FrontEndSync, WhatChangedIsAllThatNeedsDrawing) {
    QtRig rig;
    AnswerEveryBox answers;
    auto same = [&](const char* step) {
        settle();
        const auto seen = onScreen(rig);
        rig.frontEnd->syncNow(true);
        for (const auto& [key, value] : onScreen(rig))
            EXPECT_EQ(seen.count(key) ? seen.at(key) : "(none)", value) << step << ": " << key;
    };
    auto pick = [&](const char* form, const char* control, int index, const QString& text) {
        auto* box = qobject_cast<QComboBox*>(rig.widget(form, control, index));
        ASSERT_TRUE(box && box->findText(text) >= 0) << control;
        box->setCurrentIndex(box->findText(text));
        emit box->activated(box->currentIndex());
    };
    rig.db().exec("INSERT INTO BUYER (BUYER, MONEY) VALUES ('أحمد', 5), ('محمود', 7)");
    qt::FormWindow& main = startMainWindow(rig);
    same("main window");
    main.actionFor("SALES_IN")->trigger();
    same("retail window");
    pick("Form3", "DataCombo3", -1, "G1");
    same("group chosen");
    QTest::mouseClick(rig.widget("Form3", "cmdaction", 0), Qt::LeftButton);
    same("add");
    pick("Form3", "DataCombo1", 0, "bolt");
    same("item picked");
    QTest::keyClicks(rig.widget("Form3", "Text3", 0), "2");
    same("quantity typed");
    QTest::mouseClick(rig.widget("Form3", "cmdaction", 0), Qt::LeftButton);
    same("saved");
    QTest::mouseClick(rig.widget("Form3", "cmdaction", 0), Qt::LeftButton);
    same("next invoice");
    main.actionFor("BUYER")->trigger();
    same("customers");
    for (QToolButton* b : rig.widget("Form6", "Adodc1")->findChildren<QToolButton*>())
        if (b->accessibleDescription().endsWith(".Next")) QTest::mouseClick(b, Qt::LeftButton);
    same("next customer");
    QTest::mouseClick(rig.widget("Form6", "cmdaction", 0), Qt::LeftButton);
    QTest::keyClicks(rig.widget("Form6", "Text2"), "9");
    same("customer edited");
}

TEST(FrontEndEnd, AProgramLeftWithoutAShownWindowEnds) {
    QtRig rig;
    rig.app.registerForm<Sample>();
    rig.app.registerForm("Hidden", [](Application& a) { return std::make_unique<Form>(a, "Hidden"); });
    rig.app.setMainForm("Main");  // never loaded
    rig.show("Sample");
    rig.frontEnd->act([&] { rig.app.form("Hidden"); });
    rig.window("Sample")->close();
    settle();
    EXPECT_TRUE(rig.app.ended());
    EXPECT_TRUE(rig.app.loadedForms().empty());
}

TEST_F(FrontEndTest, AReportShowsInItsPreviewAndRendersToAPdf) {
    for (int i = 0; i < 60; ++i)
        rig.db().exec("INSERT INTO BUYER (BUYER, PHONE) VALUES ('عميل " + std::to_string(i) + "', '" +
                      std::to_string(1000 + i) + "')");
    const RenderedReport report = renderReport(*findReportLayout("DataReport2"), rig.db(), rig.clock.now());
    ASSERT_GT(report.pages.size(), 1u);

    rig.frontEnd->act([&] { rig.app.showReport(report); });
    qt::ReportPreview* preview = rig.frontEnd->preview("DataReport2");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), "تقرير ببيانات العملاء");
    preview->showPage(1);
    EXPECT_EQ(preview->page(), 1);
    EXPECT_GT(inkPixels(preview->grab().toImage()), 1000);
    // Reopening refreshes the same preview.
    rig.frontEnd->act([&] { rig.app.showReport(report); });
    EXPECT_EQ(rig.frontEnd->preview("DataReport2"), preview);
    EXPECT_EQ(preview->page(), 0);

    auto pagesIn = [](const QString& file) {
        QFile pdf(file);
        if (!pdf.open(QIODevice::ReadOnly)) return qsizetype(-1);
        return QString::fromLatin1(pdf.readAll()).count(QRegularExpression("/Type\\s*/Page(?!s)"));
    };
    const QString path = QString::fromStdString((rig.root.path() / "report.pdf").string());
    ASSERT_TRUE(qt::writeReportPdf(report, path));
    EXPECT_EQ(pagesIn(path), static_cast<qsizetype>(report.pages.size()));

    // Printing a range of pages goes through the same painter.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString printed = QString::fromStdString((rig.root.path() / "printed.pdf").string());
    printer.setOutputFileName(printed);
    ASSERT_TRUE(qt::printReport(report, printer, 2, 99));
    EXPECT_EQ(pagesIn(printed), static_cast<qsizetype>(report.pages.size()) - 1);
}

TEST(FrontEndText, PrintedZonesAndMnemonics) {
    const auto runs = qt::printRuns("n             " + std::string(" 12 ") + "          x", {14, 28});
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].column, 15);
    EXPECT_EQ(runs[1].text, "12");
    EXPECT_EQ(runs[2].text, "x");
    EXPECT_EQ(qt::stripMnemonic("م&لف && شركة"), "ملف & شركة");
    const qt::TwipScale s(1.0);
    EXPECT_EQ(s.rect(0, 0, 1500, 300), QRect(0, 0, 100, 20));
}

// A navigation bar's caption puts the word of each button beside it, the
// bar running right to left: previous at the right, next at the left,
// angle brackets pointing outwards, whichever order the caption is written in.
TEST(FrontEndText, BarCaptionsPutEachWordBesideItsButton) {
    ensureQtApp();
    const QFont font = qt::uiFont();
    const std::pair<const char*, const char*> kCaptions[] = {{"<السابق   التالى  >", "التالى"},
                                                             {"< سابق    لاحق  >", "لاحق"},
                                                             {"التالى    السابق", "التالى"},
                                                             {"السابق التالى", "التالى"},
                                                             {"السابق           الاحق", "الاحق"}};
    for (const auto& [caption, next] : kCaptions) {
        const QString shown = qt::barCaption(QString::fromUtf8(caption));
        const QString previous = QString(caption).contains(QStringLiteral("السابق"))
                                     ? QStringLiteral("السابق")
                                     : QStringLiteral("سابق");
        EXPECT_GT(inkLeftOf(shown, previous, font), inkLeftOf(shown, QString::fromUtf8(next), font))
            << caption;
        if (!QString(caption).contains(QLatin1Char('<'))) continue;
        const Brackets b = bracketsOf(shown, font);
        EXPECT_EQ(b.left, QLatin1Char('<')) << caption;
        EXPECT_EQ(b.right, QLatin1Char('>')) << caption;
    }
    // One that names no button reads as it reads.
    EXPECT_EQ(qt::barCaption(QStringLiteral("تصفح الفواتير")), QStringLiteral("تصفح الفواتير"));
}

// A path, a file name or a number inside Arabic text keeps its own order.
TEST(FrontEndText, PathsAndNumbersInsideArabicKeepTheirOrder) {
    ensureQtApp();
    const QFont font = qt::uiFont();
    const QString shown = qt::asParagraph(QStringLiteral("أختر القرص  D:/"));
    EXPECT_LT(inkLeftOf(shown, QStringLiteral("D"), font), inkLeftOf(shown, QStringLiteral(":"), font));
    EXPECT_LT(inkLeftOf(shown, QStringLiteral(":"), font), inkLeftOf(shown, QStringLiteral("/"), font));
    EXPECT_LT(inkLeftOf(shown, QStringLiteral("/"), font), inkLeftOf(shown, QStringLiteral("أختر"), font));
    const QString sentence = qt::asParagraph(QStringLiteral("تم the process was completed ok"));
    EXPECT_LT(inkLeftOf(sentence, QStringLiteral("the"), font),
              inkLeftOf(sentence, QStringLiteral("process"), font));
    // Text without Arabic is left as it is.
    EXPECT_EQ(qt::asParagraph(QStringLiteral("C:/backup")), QStringLiteral("C:/backup"));
}

}  // namespace
}  // namespace mk::test
