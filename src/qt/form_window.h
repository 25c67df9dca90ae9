// The Qt window drawn for one runtime window: its menu bar, a surface at
// the window's twip size with a widget per control, and the lines printed
// onto it.
//
// Geometry: a window's width and height are its surface below the menu
// bar. Every control's left and top are in the window's coordinates, also
// for a control inside a frame or picture box; the widget is placed inside
// the container's widget (clipped by it, hidden with it) at the same spot.
// Positions are drawn as the window gives them (its Arabic labels stand to
// the right of their boxes because the window puts them there); text inside
// each control reads right to left. Later controls lie above earlier ones;
// labels and lines lie beneath boxes and buttons. Printed lines are drawn
// in the window's print area (Form::printArea), from its left edge, a
// print zone every kPrintZoneTwips.
//
// Tab order: the controls that can take the focus, in the order a person
// reads the window (Form::readingOrder); the push buttons after all the
// rest, in the same order. A box that cannot take text (locked) takes no
// Tab stop.
//
// Syncing: a pass draws only what changed since the last one, by the
// numbers the runtime gives each change (Drawn): a window with no change
// is left alone, a control with none is skipped, and a change of layout
// (places, showing, what names a box) places, enables and names every
// control again. A widget the user changed is drawn whole at the next
// pass. A full pass draws everything, as the first one does; it draws
// exactly what the passes before it drew.
#pragma once

#include <QMainWindow>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/form.h"
#include "qt/text.h"

class QAction;
class QKeyEvent;
class QMenu;

namespace mk::qt {

class FrontEnd;
class ControlView;

// The area below the menu bar; draws the printed lines in the window's
// print area (Form::printArea), where they cover no control.
class FormSurface : public QWidget {
    Q_OBJECT
public:
    explicit FormSurface(QWidget* parent);
    struct Line {
        std::string text;
        std::vector<int> zones;
        bool operator==(const Line&) const = default;
    };
    // The tail of the printed lines, how they are laid out and where.
    void setPrinted(std::vector<Line> lines, double pxPerColumn, QRect area);
    // How many lines an area holds.
    int linesThatFit(const QRect& area) const;
    int linesThatFit() const { return linesThatFit(area_); }
    const std::vector<Line>& printed() const { return lines_; }
    const QRect& area() const { return area_; }
    // Where each piece of printed text is drawn, in the surface's pixels.
    struct Run {
        QRect box;
        QString text;
        Qt::LayoutDirection direction;
    };
    std::vector<Run> runs() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<Line> lines_;
    double pxPerColumn_ = 8;
    QRect area_;
};

class FormWindow : public QMainWindow {
    Q_OBJECT
public:
    FormWindow(FrontEnd& frontEnd, Form& form);
    ~FormWindow() override;

    FrontEnd& frontEnd() const { return fe_; }
    const std::string& formName() const { return name_; }
    // Null once the runtime has unloaded the form.
    Form* form() const { return form_; }
    bool isDead() const { return form_ == nullptr; }
    void markDead();

    // Brings the window up to date with its form; `full` draws every
    // control, changed or not.
    void sync(bool full = false);
    bool placed = false;  // given its place on the screen at its first showing
    FormSurface* surface() const { return surface_; }
    // As it is shown: the focus goes to its first Tab stop that takes text
    // (else its first Tab stop), unless a stop already has it, and is the
    // program's. A locked box never has the first focus.
    void focusFirstStop();
    // The focus the program moved onto a control, shown. Where the program
    // moved it itself (`byCode`), what is typed there takes the place of
    // the text it holds, as after Tab; never under keys typed into it.
    void showFocus(const Control& c, bool byCode);
    // The window's focus widget is given (FrontEnd::focusGiven), for a
    // move Qt sent no focus event of; reached by Tab, its text is chosen
    // whole, as Tab chooses it in an active window.
    void focusMovedUnseen(bool byTab);
    // A key sent to the window before it was active: the menu item's
    // shortcut or the one button's letter it is (Qt matches only the
    // active window's) chosen or pressed; false when none.
    bool takeShortcut(const QKeyEvent& e);
    // Whether `w` has the window's focus (once the window is active).
    bool holdsFocus(const QWidget& w) const;
    QWidget* widgetFor(const Control& c) const;
    QWidget* widgetFor(const std::string& name, int index = -1) const;
    QAction* actionFor(const std::string& menuName, int index = -1) const;
    QFont formFont() const;

    // User input, only while the form is loaded, after the focus Qt gave
    // (FrontEnd::focusGiven); from a control's widget, which is drawn again
    // afterwards and, while its input runs, keeps what was typed into it.
    void input(const std::function<void(Application&)>& fn);
    void input(ControlView& from, const std::function<void(Application&)>& fn);
    // Focus the user moved onto a control's widget.
    void userFocused(Control& c);
    // Sub-widgets that stand for a control (for focus and clicks).
    void adopt(QWidget* w, ControlView& view);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void buildMenus();
    void syncMenus();
    void joinShortcutLetters();
    void syncWindow();
    void syncView(ControlView& v, bool changed, bool layout, uint64_t since);
    void syncLook(ControlView& v);
    void syncPrinted();
    QRect absoluteRect(const Control& c) const;  // pixels on the surface
    // Tab runs as the eye reads: right to left, top to bottom, the buttons last.
    void orderTabStops();

    FrontEnd& fe_;
    Form* form_;
    std::string name_;
    FormSurface* surface_;
    std::vector<std::unique_ptr<ControlView>> views_;
    std::vector<ControlView*> watchingOutside_;
    // The last change drawn (Drawn::lastChange at the last pass's start).
    uint64_t syncedAt_ = 0;
    bool everSynced_ = false;
    bool viewsStale_ = false;  // some view's widget was changed by the user
    bool menusStale_ = false;  // a menu command was given
    std::map<const Control*, ControlView*> byControl_;
    std::map<const QObject*, ControlView*> byWidget_;
    std::map<const MenuItem*, QAction*> actions_;
    std::map<const MenuItem*, QMenu*> menus_;
    size_t menuCount_ = 0;
    QSize surfaceSize_;
    // The Tab stops in the order last given to Qt, and their controls.
    std::vector<QWidget*> tabStops_;
    std::vector<const Control*> tabControls_;
    bool modal_ = false;
};

}  // namespace mk::qt
