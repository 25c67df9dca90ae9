// Every window the program registers, opened under the offscreen platform
// with the program's own font: the text of every shown label, button,
// check box and option button fits its box.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QMenuBar>
#include <QTest>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QGlyphRun>
#include <QRawFont>
#include <QStyleOptionButton>
#include <QTextLayout>
#include <set>

#include "app/system.h"
#include "data/schema.h"
#include "qt/dialogs_qt.h"
#include "qt/text.h"
#include "qt_rig.h"

namespace mk::test {
namespace {

// Where the ink of a text falls when laid out as the control lays it out:
// wrapped at word breaks to the width of `box` (or on one line), aligned
// in `box` vertically. Also whether a line runs wider than the box.
struct Ink {
    QRectF rect;
    bool tooWide = false;
};

Ink inkOf(const QString& text, const QFont& font, const QRectF& box, bool wrap, Qt::Alignment vertical) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    option.setTextDirection(Qt::RightToLeft);
    layout.setTextOption(option);
    Ink ink;
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(wrap ? box.width() : 1e6);
        line.setPosition(QPointF(0, height));
        height += line.height();
        if (line.naturalTextWidth() > box.width() + 0.5) ink.tooWide = true;
    }
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont font = run.rawFont();
        const auto glyphs = run.glyphIndexes();
        const auto at = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            ink.rect |= font.boundingRect(glyphs[i]).translated(at[i]);
    }
    double top = box.top();
    if (vertical & Qt::AlignVCenter) top += (box.height() - height) / 2;
    else if (vertical & Qt::AlignBottom) top += box.height() - height;
    ink.rect.translate(0, top);
    return ink;
}

// What does not fit, in words a person fixing the window can act on.
QString overflow(const QString& where, const QString& text, const Ink& ink, const QRectF& room) {
    const double slack = 0.5;
    if (!ink.tooWide && ink.rect.top() >= room.top() - slack && ink.rect.bottom() <= room.bottom() + slack)
        return {};
    return QStringLiteral("%1 \"%2\": ink from %3 to %4 px%5, room from %6 to %7 px")
        .arg(where, text)
        .arg(ink.rect.top(), 0, 'f', 1)
        .arg(ink.rect.bottom(), 0, 'f', 1)
        .arg(ink.tooWide ? QStringLiteral(" and too wide") : QString())
        .arg(room.top(), 0, 'f', 1)
        .arg(room.bottom(), 0, 'f', 1);
}

// A label wraps at word breaks within its box; a word wider than the box
// runs out of it.
QString labelOverflow(const QString& where, const QLabel& label) {
    const QRectF room = label.contentsRect();
    const Ink ink = inkOf(label.text(), label.font(), room, label.wordWrap(),
                          label.alignment() & Qt::AlignVertical_Mask);
    return overflow(where, label.text(), ink, QRectF(label.rect()));
}

// A button or check draws its text on one line, in the part its frame or
// its indicator leaves, in the middle of its height.
QString buttonOverflow(const QString& where, const QAbstractButton& button) {
    const QString text = qt::stripMnemonic(button.text());
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    QStyle::SubElement part = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(&button)) part = QStyle::SE_CheckBoxContents;
    if (qobject_cast<const QRadioButton*>(&button)) part = QStyle::SE_RadioButtonContents;
    const QRectF room = button.style()->subElementRect(part, &option, &button);
    const Ink ink = inkOf(text, button.font(), room, false, Qt::AlignVCenter);
    return overflow(where, text, ink, QRectF(button.rect()));
}

QStringList overflowsIn(qt::FormWindow& window) {
    QStringList found;
    Form* form = window.form();
    if (!form) return found;
    for (const auto& c : form->controls()) {
        QWidget* w = window.widgetFor(*c);
        if (!w || !w->isVisible()) continue;
        const QString where = qt::qs(form->name() + "." + c->fullName());
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().trimmed().isEmpty())
            found << labelOverflow(where, *label);
        else if (auto* button = qobject_cast<QAbstractButton*>(w);
                 button && !button->text().trimmed().isEmpty())
            found << buttonOverflow(where, *button);
    }
    found.removeAll(QString());
    return found;
}

// Lines printed on a window, as many as it prints and more, land where
// they cover none of its shown controls.
QStringList printedOverControls(qt::FormWindow& window) {
    QStringList found;
    Form& form = *window.form();
    const std::vector<std::string> lines = {"1", " the process was completed ", " كميات أخر اليوم جاهزة ",
                                            std::string(120, 'x'), "MED_NAME31"};
    window.frontEnd().act([&] {
        for (int i = 0; i < 12; ++i)
            for (const std::string& l : lines) form.Print({l, zone, i});
    });
    const auto runs = window.surface()->runs();
    if (runs.empty()) found << qt::qs(form.name()) + QStringLiteral(": no room for printed lines");
    for (const auto& c : form.controls()) {
        QWidget* w = window.widgetFor(*c);
        if (!w || !w->isVisible()) continue;
        const QRect at(w->mapTo(window.surface(), QPoint(0, 0)), w->size());
        for (const auto& run : runs)
            if (run.box.intersects(at))
                found << QStringLiteral("%1: \"%2\" over %3")
                             .arg(qt::qs(form.name()), run.text, qt::qs(c->fullName()));
    }
    for (const auto& run : runs)
        if (!window.surface()->rect().contains(run.box))
            found << QStringLiteral("%1: \"%2\" off the window").arg(qt::qs(form.name()), run.text);
    // What is drawn lands in the boxes laid out for it, and every box is
    // inked: the text is drawn where it was measured.
    const QImage shot = window.surface()->grab().toImage();
    const QRgb ground = window.surface()->palette().color(QPalette::Window).rgb();
    const QRect area = window.surface()->area() & shot.rect();
    std::vector<int> inked(runs.size(), 0);
    int stray = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (shot.pixel(x, y) == ground) continue;
            bool inside = false;
            for (size_t i = 0; i < runs.size(); ++i)
                if (runs[i].box.adjusted(-2, 0, 2, 0).contains(x, y)) {
                    ++inked[i];
                    inside = true;
                }
            if (!inside) ++stray;
        }
    if (stray > 0) found << QStringLiteral("%1: %2 pixels drawn outside the printed boxes").arg(qt::qs(form.name())).arg(stray);
    for (size_t i = 0; i < runs.size(); ++i)
        if (inked[i] == 0) found << QStringLiteral("%1: \"%2\" not drawn").arg(qt::qs(form.name()), runs[i].text);
    return found;
}

// The cash message after a sale, reached as a user reaches it: its pieces,
// written for a left-to-right screen, read on from the right as one
// sentence, the amount where the sentence puts it.
TEST(TextFits, AnArabicMessageReadsFromTheRightWithItsNumberInPlace) {
    QtRig rig;
    openRetailWindow(rig);
    Form& retail = rig.app.form("Form3");
    rig.frontEnd->act([&] {
        rig.app.choose(retail.dataCombo("DataCombo3"), "G1");
        rig.app.click(retail.control("cmdaction", 0));
        rig.app.typeText(retail.textBox("Text3", 0), "3");
        rig.app.choose(retail.dataCombo("DataCombo1", 0), "bolt");
    });
    QString shown, spoken;
    QFont font;
    Qt::Alignment alignment;
    whenModal("MsgBox", [&](QWidget& box) {
        auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label) {
            shown = label->text();
            font = label->font();
            alignment = label->alignment();
        }
        spoken = box.accessibleDescription();
        static_cast<QDialog&>(box).accept();
        whenModal("MsgBox", [](QWidget& another) { static_cast<QDialog&>(another).reject(); });
    });
    rig.frontEnd->act([&] { rig.app.click(retail.control("cmdaction", 0)); });
    settle();
    ASSERT_FALSE(shown.isEmpty());
    auto x = [&](const char* part) { return inkLeftOf(shown, QString::fromUtf8(part), font); };
    EXPECT_GT(x("تم أضافة"), x("بقيمة"));
    EXPECT_GT(x("بقيمة"), x("75"));
    EXPECT_GT(x("75"), x("ألى الصندوق"));
    EXPECT_TRUE(alignment & Qt::AlignRight);
    EXPECT_EQ(spoken, "تم أضافة حساب فاتورة بقيمة 75 ألى الصندوق");
    // The box's answer was taken: the sale is posted once.
    EXPECT_EQ(rig.app.form("Form3").label("Label4").caption(), "3");
}

// A prompt runs the way most of its letters read, whatever its first word:
// Arabic from the right, English from the left.
TEST(TextFits, PromptsRunTheWayTheyRead) {
    ensureQtApp();
    const std::pair<const char*, bool> kPrompts[] = {{"أدخل المبلغ :", true},
                                                     {"Acme ألى حساب المورد تم أضافة حساب الفاتورة", true},
                                                     {"enter INVOICE NO. for search :", false},
                                                     {"البحث by name", false}};
    for (const auto& [text, rightToLeft] : kPrompts) {
        qt::InputBoxDialog box(QString::fromUtf8(text), QStringLiteral("title"), {}, nullptr);
        auto* prompt = box.findChild<QLabel*>();
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(prompt->text().isRightToLeft(), rightToLeft) << text;
        EXPECT_EQ(bool(prompt->alignment() & Qt::AlignRight), rightToLeft) << text;
    }
}

// A shortcut letter that is Arabic is drawn without its underline, so the
// word's letters stay joined; the shortcut still works.
TEST(TextFits, ArabicShortcutLettersStayJoinedAndStillWork) {
    QtRig rig;
    AnswerEveryBox answers;
    qt::FormWindow& main = startMainWindow(rig);
    QMenuBar* bar = main.menuBar();
    EXPECT_EQ(bar->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, bar), 0);  // "م&لف"
    main.actionFor("doutput")->trigger();
    settle();
    qt::FormWindow& book = *rig.window("Form18");
    auto* edit = qobject_cast<QPushButton*>(rig.widget("Form18", "cmdaction", 2));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "&تعديل");
    // Drawn exactly as the word alone.
    QPushButton plain(qt::stripMnemonic(edit->text()), edit->parentWidget());
    plain.setGeometry(edit->geometry());
    plain.setAutoDefault(false);
    plain.show();
    EXPECT_EQ(edit->grab().toImage(), plain.grab().toImage());

    book.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&book));
    QTest::sendKeyEvent(QTest::Click, &book, static_cast<Qt::Key>(0x062A), QStringLiteral("ت"),
                        Qt::AltModifier);
    settle(400);  // a shortcut shows the press before it clicks
    EXPECT_EQ(rig.app.form("Form18").button("cmdaction", 2).caption, "&حفظ");
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QTest::sendKeyEvent(QTest::Click, &main, static_cast<Qt::Key>(0x0644), QStringLiteral("ل"),
                        Qt::AltModifier);
    EXPECT_EQ(bar->activeAction(), main.actionFor("file"));
    QTest::keyClick(bar, Qt::Key_Escape);
}

// Every window: its texts whole, printed lines clear of its controls.
TEST(TextFits, EveryRegisteredWindowShowsItsTextsWholeAndInPlace) {
    QtRig rig;
    // The program's own font is the one measured.
    ASSERT_TRUE(QFontInfo(qt::uiFont()).family().startsWith(QStringLiteral("Noto Sans")))
        << qt::std8(QFontInfo(qt::uiFont()).family());

    QStringList found;
    std::set<std::string> checked;
    openEveryWindow(rig, [&](qt::FormWindow& w) {
        found << overflowsIn(w);
        if (!checked.insert(w.formName()).second) return;
        found << printedOverControls(w);
    });
    found.removeDuplicates();
    EXPECT_GT(checked.size(), 20u);
    EXPECT_TRUE(found.isEmpty()) << qt::std8(found.join(QLatin1Char('\n')));
}

}  // namespace
}  // namespace mk::test
