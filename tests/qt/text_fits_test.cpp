// Every window the program registers, opened under the offscreen platform
// with the program's own font: the text of every shown label, button,
// check box and option button fits its box.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QGlyphRun>
#include <QRawFont>
#include <QStyleOptionButton>
#include <QTextLayout>

#include "app/system.h"
#include "data/schema.h"
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

TEST(TextFits, EveryRegisteredWindowShowsItsTextsWhole) {
    QtRig rig;
    // The program's own font is the one measured.
    ASSERT_TRUE(QFontInfo(qt::uiFont()).family().startsWith(QStringLiteral("Noto Sans")))
        << qt::std8(QFontInfo(qt::uiFont()).family());

    registerWindows(rig.app);
    rig.db().exec("UPDATE DIM SET COMPANY_NAME='ACME', COMP=1, SECURITY=0");
    rig.db().createTable(itemGroupTableDef("G1"));
    rig.db().exec("INSERT INTO qqq (Q) VALUES ('G1')");
    rig.app.setMainForm("Form1");

    const std::vector<std::string> names = rig.app.registeredForms();
    ASSERT_GT(names.size(), 20u);
    AnswerEveryBox answers;
    QStringList found;
    int checked = 0;
    for (const std::string& name : names) {
        rig.frontEnd->act([&] {
            try {
                rig.app.show(rig.app.form(name));
            } catch (const std::exception&) {
            }
        });
        settle(0);
        for (qt::FormWindow* w : rig.frontEnd->windows())
            if (w->isVisible()) {
                found << overflowsIn(*w);
                ++checked;
            }
    }
    found.removeDuplicates();
    EXPECT_GT(checked, 20);
    EXPECT_TRUE(found.isEmpty()) << qt::std8(found.join(QLatin1Char('\n')));
}

}  // namespace
}  // namespace mk::test
