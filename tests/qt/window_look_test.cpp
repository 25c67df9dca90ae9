// Every window the program registers, opened in both permission modes and
// looked at as a clerk reads it: Arabic text stands at the right, no
// control is drawn over another unless it is a cover, and every control the
// focus can reach takes what is typed or pressed there.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTextDocument>
#include <set>

#include "app/system.h"
#include "qt/text.h"
#include "qt_rig.h"

namespace mk::test {
namespace {

QString where(const qt::FormWindow& w, const Control& c) {
    return qt::qs(w.formName() + "." + c.fullName());
}

// Where a widget's text stands: the horizontal part of its alignment, the
// way it is drawn (a group box's title by its own rule).
Qt::Alignment drawnAlignment(const QWidget& w) {
    if (auto* l = qobject_cast<const QLabel*>(&w)) return l->alignment();
    if (auto* e = qobject_cast<const QLineEdit*>(&w)) return e->alignment();
    if (auto* p = qobject_cast<const QPlainTextEdit*>(&w))
        return p->document()->defaultTextOption().alignment();
    return {};
}

bool standsAtTheRight(Qt::Alignment a, const QWidget& w) {
    if (a & Qt::AlignHCenter) return true;  // centred as the window centres it
    if (a & Qt::AlignAbsolute) return a & Qt::AlignRight;
    const bool rtl = w.layoutDirection() == Qt::RightToLeft;
    return rtl ? (a & Qt::AlignLeft) || !(a & Qt::AlignRight) : bool(a & Qt::AlignRight);
}

// Labels, boxes and paragraphs that hold Arabic stand at the right.
QStringList arabicAtTheLeft(qt::FormWindow& w) {
    QStringList found;
    for (const auto& c : w.form()->controls()) {
        QWidget* widget = w.widgetFor(*c);
        if (!widget || !widget->isVisible()) continue;
        QString text;
        if (auto* l = qobject_cast<QLabel*>(widget))
            text = l->text();
        else if (auto* e = qobject_cast<QLineEdit*>(widget))
            text = e->text();
        else if (auto* p = qobject_cast<QPlainTextEdit*>(widget))
            text = p->toPlainText();
        else
            continue;
        if (!qt::readsRightToLeft(text)) continue;
        if (!standsAtTheRight(drawnAlignment(*widget), *widget))
            found << where(w, *c) + QStringLiteral(" \"") + text + QLatin1Char('"');
    }
    return found;
}

bool inside(const Control& c, const Control& container) {
    for (const Control* up = c.container; up; up = up->container)
        if (up == &container) return true;
    return false;
}

// Two shown controls drawn one over the other, a control and what holds it
// aside. A picture box made to cover others (the cover panels) may lie
// over what was made before it.
QStringList overlaps(qt::FormWindow& w) {
    QStringList found;
    const auto& controls = w.form()->controls();
    struct Shown {
        const Control* control;
        QRect at;
    };
    std::vector<Shown> shown;
    for (const auto& c : controls) {
        QWidget* widget = w.widgetFor(*c);
        if (!widget || !widget->isVisible() || c->kind() == ControlKind::Line) continue;
        shown.push_back({c.get(), QRect(widget->mapTo(w.surface(), QPoint(0, 0)), widget->size())});
    }
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j) {
            const Control& a = *shown[i].control;  // made first, drawn beneath
            const Control& b = *shown[j].control;
            if (!shown[i].at.intersects(shown[j].at)) continue;
            if (inside(a, b) || inside(b, a)) continue;
            const bool cover = b.kind() == ControlKind::PictureBox && a.isUnderPanel();
            if (cover) continue;
            found << where(w, a) + QStringLiteral(" under ") + qt::qs(b.fullName());
        }
    // Nor is anything drawn over a frame's caption.
    for (const auto& c : controls) {
        auto* frame = qobject_cast<QGroupBox*>(w.widgetFor(*c));
        if (!frame || !frame->isVisible() || frame->title().isEmpty()) continue;
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.textAlignment = frame->alignment();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, frame);
        for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisible() && child->geometry().intersects(title))
                found << where(w, *c) + QStringLiteral(": its caption under ") +
                             child->objectName();
    }
    return found;
}

// A control that can take the focus by Tab is shown, enabled, and takes
// what is typed (a box not locked) or pressed (a button, check, option,
// list or chooser).
// Whether what is typed in a widget stays there (a button takes a press).
bool writable(QWidget& w) {
    if (auto* e = qobject_cast<QLineEdit*>(&w)) return !e->isReadOnly();
    if (auto* p = qobject_cast<QPlainTextEdit*>(&w)) return !p->isReadOnly();
    if (auto* combo = qobject_cast<QComboBox*>(&w); combo && combo->isEditable())
        return !combo->lineEdit()->isReadOnly();
    return true;
}

QStringList deadStops(qt::FormWindow& w) {
    QStringList found;
    for (const auto& c : w.form()->controls()) {
        QWidget* widget = w.widgetFor(*c);
        if (!widget) continue;
        QList<QWidget*> parts = widget->findChildren<QWidget*>();
        parts << widget;
        for (QWidget* part : parts) {
            if (!(part->focusPolicy() & Qt::TabFocus) || part->focusProxy()) continue;
            if (!part->isVisible() || !part->isEnabled()) continue;  // Tab passes it by
            const bool shownEnabled =
                c->isShowing() && c->isEffectivelyEnabled() && !c->isCovered();
            if (!writable(*part) || !shownEnabled) found << where(w, *c);
        }
    }
    // Nor does a window open with the focus in a box that cannot take text.
    if (QWidget* f = w.focusWidget(); f && !writable(*f))
        found << qt::qs(w.formName()) + QStringLiteral(": the focus in a locked box");
    return found;
}

// Which way a navigation button's arrow points: the side its ink leans
// away from (a triangle's base is heavier than its tip).
bool pointsRight(QWidget& button) {
    const QImage image = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb ink = button.palette().color(QPalette::ButtonText).rgb();
    double sum = 0, count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == ink) sum += x, ++count;
    return count > 0 && sum / count < image.width() / 2.0;
}

// Every navigation bar runs one way: first and previous at the right,
// next and last at the left, the arrows pointing the way they move; the
// words of its caption that name buttons stand beside their own.
QStringList barsOutOfPlace(qt::FormWindow& window, int& bars) {
    QStringList found;
    for (const auto& c : window.form()->controls()) {
        QWidget* bar = window.widgetFor(*c);
        if (c->kind() != ControlKind::DataControl || !bar || !bar->isVisible()) continue;
        ++bars;
        const QString id = where(window, *c);
        auto part = [&](const char* name) -> QWidget* {
            for (auto* w : bar->findChildren<QWidget*>())
                if (w->accessibleDescription() == qt::qs(c->fullName()) + QString::fromUtf8(name))
                    return w;
            return nullptr;
        };
        auto* caption = qobject_cast<QLabel*>(part(".Caption"));
        QWidget *first = part(".First"), *previous = part(".Previous"), *next = part(".Next"),
                *last = part(".Last");
        if (!caption || !first || !previous || !next || !last) {
            found << id + QStringLiteral(": parts missing");
            continue;
        }
        if (!(first->x() > previous->x() && previous->x() > caption->x() &&
              caption->x() > next->x() && next->x() > last->x()))
            found << id + QStringLiteral(": buttons out of order");
        if (!pointsRight(*previous) || pointsRight(*next))
            found << id + QStringLiteral(": arrows point the wrong way");
        const QString text = caption->text();
        auto at = [&](std::initializer_list<const char*> words) {
            for (const char* w : words)
                if (text.contains(QString::fromUtf8(w)))
                    return inkLeftOf(text, QString::fromUtf8(w), caption->font());
            return -1.0;
        };
        const double previousWord = at({"السابق", "سابق"});
        const double nextWord = at({"التالى", "اللاحق", "الاحق", "لاحق"});
        if (previousWord >= 0 && nextWord >= 0 && previousWord < nextWord)
            found << QStringLiteral("%1 \"%2\": the words stand away from their buttons")
                         .arg(id, text);
        const Brackets b = bracketsOf(text, caption->font());
        if ((!b.left.isNull() && b.left != QLatin1Char('<')) ||
            (!b.right.isNull() && b.right != QLatin1Char('>')))
            found << QStringLiteral("%1 \"%2\": brackets point inwards").arg(id, text);
    }
    return found;
}

class EveryWindow : public ::testing::TestWithParam<Permissions> {};

TEST_P(EveryWindow, ReadsFromTheRightWithOneBarOrderNothingOverAnotherAndNoDeadStop) {
    QtRig rig;
    QStringList found;
    std::set<std::string> seen;
    int bars = 0;
    openEveryWindow(
        rig,
        [&](qt::FormWindow& w) {
            found << arabicAtTheLeft(w) << overlaps(w) << deadStops(w);
            if (seen.insert(w.formName()).second) found << barsOutOfPlace(w, bars);
        },
        GetParam());
    found.removeDuplicates();
    EXPECT_GT(seen.size(), 40u);
    EXPECT_GT(bars, 10);
    EXPECT_TRUE(found.isEmpty()) << qt::std8(found.join(QLatin1Char('\n')));
}

// The restore window's drive, a path inside Arabic words, reads in its
// own order: "D:/", not "/:D".
TEST(WindowLook, APathInsideArabicKeepsItsOrder) {
    QtRig rig;
    registerWindows(rig.app);
    qt::FormWindow& restore = rig.show("Form47");
    auto* frame = qobject_cast<QGroupBox*>(restore.widgetFor("Frame2"));
    ASSERT_NE(frame, nullptr);
    const QString title = frame->title();
    auto x = [&](const char* part) { return inkLeftOf(title, QString::fromUtf8(part), frame->font()); };
    EXPECT_LT(x("D"), x(":"));
    EXPECT_LT(x(":"), x("/"));
    EXPECT_LT(x("/"), x("القرص"));
}

INSTANTIATE_TEST_SUITE_P(BothPermissionModes, EveryWindow,
                         ::testing::Values(Permissions::Off, Permissions::On),
                         [](const auto& info) {
                             return info.param == Permissions::On ? "SwitchOn" : "SwitchOff";
                         });

}  // namespace
}  // namespace mk::test
