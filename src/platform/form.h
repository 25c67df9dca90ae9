// A window: its controls, menus, the lines printed onto it, and the
// handlers of its own events. One instance per window class.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls.h"
#include "platform/twip_grid.h"

namespace mk {

class Application;

// The tables an action wrote, by upper-case name.
using ChangedTables = std::set<std::string>;
// Whether the table (any letter case) is among them.
bool tableChanged(const ChangedTables& tables, std::string_view table);

// A comma between printed items: the next item starts at the next zone.
struct Zone {};
inline constexpr Zone zone{};

class PrintArg {
public:
    PrintArg(Zone) : isZone_(true) {}
    template <class T>
    PrintArg(T&& v) : value_(Value(std::forward<T>(v))) {}
    bool isZone() const { return isZone_; }
    const Value& value() const { return value_; }

private:
    bool isZone_ = false;
    Value value_;
};

// Print zones are this many character columns wide; on screen a column is
// kPrintColumnTwips wide, so windows can put headings over the zones.
inline constexpr int kPrintZone = 14;
inline constexpr double kPrintColumnTwips = 120;
inline constexpr double kPrintZoneTwips = kPrintZone * kPrintColumnTwips;
// The height a printed line takes on screen.
inline constexpr double kPrintLineTwips = 300;
// Where a heading (or box) over print zone `zone` stands: zone 0 at the
// window's left edge, as printed lines run left to right.
constexpr Geometry overPrintZone(int zone, double top, double height = 285) {
    return {zone * kPrintZoneTwips, top, kPrintZoneTwips - 60, height};
}

// The text of one print statement: numbers with a blank for the plus sign
// and a trailing blank, dates in the short form, zones every 14 columns.
std::string formatPrintLine(std::initializer_list<PrintArg> items);
// The same, also giving the columns where a zone move placed an item, so a
// front end drawing a proportional font can line the zones up.
std::string formatPrintLine(std::initializer_list<PrintArg> items, std::vector<int>& zoneStarts);

class Form : public Drawn {
public:
    Form(Application& app, std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Application& app() const { return *app_; }
    const std::string& name() const { return name_; }

    Shown<std::string> caption{this};
    Shown<double> left{this, 0}, top{this, 0};  // twips
    Placed<double> width{this, 6000}, height{this, 4000};
    Shown<bool> enabled{this, true};
    Shown<uint32_t> backColor{this, kDefaultColor};
    Shown<double> fontSize{this, 0};  // 0: the front end's default

    // Changes, numbered (Drawn): changedAt() is the last change of
    // anything on the window, ownChangedAt() of the window's own state
    // (its caption, size, colours, menus, printed lines) and
    // layoutChangedAt() of what stands where.
    uint64_t ownChangedAt() const { return ownChangedAt_; }
    uint64_t layoutChangedAt() const { return layoutChangedAt_; }
    void changed(bool layout) override;
    bool visible() const { return visible_; }
    bool isLoaded() const { return loaded_; }
    bool isModal() const { return modal_; }
    bool isBusy() const { return busy_ > 0; }

    // The window's own events.
    virtual void Form_Load() {}
    virtual void Form_Paint() {}
    virtual void Form_Unload() {}
    // A step run after one of this window's actions failed and was rolled
    // back (its data controls have re-read their tables), to put back what
    // the user had entered (record editing adds one). It must not write.
    void addFailureStep(std::function<void()> step) { failureSteps_.push_back(std::move(step)); }
    // Whether the window holds a document being added or edited and not
    // yet saved; record editing adds the check of its own mode.
    void addUnsavedCheck(std::function<bool()> check) {
        unsavedChecks_.push_back(std::move(check));
    }
    bool holdsUnsavedDocument() const {
        for (const auto& unsaved : unsavedChecks_)
            if (unsaved()) return true;
        return false;
    }
    // Told, once a user action of any window has committed, which tables
    // it wrote, so a window that shows them can show what is stored now.
    // A window holding typed, unsaved changes keeps them (it shows the
    // stored values at its own save or cancel). It runs as an action of its
    // own, after every window's notice the action's queued steps run.
    virtual void tablesChanged(const ChangedTables&) {}

    // Building, in the constructor.
    template <class C, class... A>
    C* add(A&&... args) {
        auto c = std::make_unique<C>(*this, std::forward<A>(args)...);
        C* p = c.get();
        controls_.push_back(std::move(c));
        p->changed(true);
        return p;
    }
    // A control the window never shows: at kNoPlace, hidden.
    template <class C, class... A>
    C* addHidden(std::string name, int index = -1, A&&... args) {
        C* c = add<C>(std::move(name), index, kNoPlace, std::forward<A>(args)...);
        c->visible = false;
        return c;
    }
    MenuItem* addMenu(std::string name, std::string caption, MenuItem* parent = nullptr,
                      std::string shortcut = {}, int index = -1);

    // Lookup by name, as other windows reach this window's controls.
    Control* findControl(std::string_view name, int index = -1) const;
    Control& control(std::string_view name, int index = -1) const;
    template <class C>
    C& get(std::string_view name, int index = -1) const {
        auto* c = dynamic_cast<C*>(&control(name, index));
        if (!c) wrongKind(name, index);
        return *c;
    }
    Label& label(std::string_view n, int i = -1) const { return get<Label>(n, i); }
    TextBox& textBox(std::string_view n, int i = -1) const { return get<TextBox>(n, i); }
    CommandButton& button(std::string_view n, int i = -1) const { return get<CommandButton>(n, i); }
    CheckBox& checkBox(std::string_view n, int i = -1) const { return get<CheckBox>(n, i); }
    OptionButton& option(std::string_view n, int i = -1) const { return get<OptionButton>(n, i); }
    DataCombo& dataCombo(std::string_view n, int i = -1) const { return get<DataCombo>(n, i); }
    Adodc& adodc(std::string_view n, int i = -1) const { return get<Adodc>(n, i); }
    Timer& timer(std::string_view n, int i = -1) const { return get<Timer>(n, i); }
    PictureBox& picture(std::string_view n, int i = -1) const { return get<PictureBox>(n, i); }
    Frame& frame(std::string_view n, int i = -1) const { return get<Frame>(n, i); }
    MenuItem& menu(std::string_view name, int index = -1) const;
    MenuItem* findMenu(std::string_view name, int index = -1) const;

    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    const std::vector<MenuItem*>& menuBar() const { return menuBar_; }
    std::vector<MenuItem*> allMenus() const;

    // Printing onto the window; each print ends its line.
    void Print(std::initializer_list<PrintArg> items = {});
    void PrintEmptyLines(int count);
    void Cls();
    const std::vector<std::string>& printedLines() const { return printed_; }
    // Per printed line, the columns where its zones start (empty: one run).
    const std::vector<std::vector<int>>& printedZoneStarts() const { return zoneStarts_; }
    // Where printed lines are drawn now, so they never cover a shown
    // control: a band at the window's left edge (lines start there, zones
    // line up with headings placed over them) free of shown controls. The
    // highest band that holds three lines two zones wide wins, else the
    // roomiest. Lines run down from its top; when more were printed than
    // it holds, the last ones show. Empty when the window has no room.
    Geometry printArea() const;

    // The label that names a box, as a person reading right to left sees
    // it: the box's own association when it has one (`labelledBy`), else
    // the label beside it on its row at its reading side (the right) with
    // nothing actionable between, else the heading of its column in a
    // table (the label over it, with only boxes between that no label of
    // their own names). A label showing only a number (a line's serial)
    // names nothing. Null when none does.
    const Label* labelBeside(const Control& box) const;

    // The shown controls in the order a person reads the window: cut at
    // the widest gap no shown control spans, top part before bottom, right
    // before left, each part read the same way; a cut between columns is
    // taken first where they stand wide apart, so a column is read down
    // before the next, while a caption and its box, or a table's cells,
    // read row by row. What no gap parts reads by its top, then from the
    // right. A frame's or picture box's controls follow it, read within it.
    std::vector<const Control*> readingOrder() const;

    // Shortcuts to the application.
    void Show(bool modal = false);
    void Hide();
    void Unload();
    int MsgBox(const std::string& prompt, int style = 0, const std::string& title = {});
    // A message whose pieces are written in left-to-right screen order
    // (Dialogs::messageBoxLeftToRight).
    int MsgBoxLeftToRight(const std::vector<std::string>& pieces, int style = 0,
                          const std::string& title = {});
    // A message that reports what the running action stored: shown once
    // the action has committed (Application::afterCommit).
    void MsgBoxAfterCommit(const std::string& prompt, int style = 0, const std::string& title = {});
    std::string InputBox(const std::string& prompt, const std::string& title = {},
                         const std::string& defaultText = {});

private:
    friend class Application;
    friend class Control;
    friend class WindowState;
    [[noreturn]] void wrongKind(std::string_view name, int index) const;
    void controlChanged(uint64_t at, bool layout);

    Application* app_;
    std::string name_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<std::unique_ptr<MenuItem>> menus_;
    std::vector<MenuItem*> menuBar_;
    std::vector<std::string> printed_;
    std::vector<std::vector<int>> zoneStarts_;
    bool visible_ = false;
    bool loaded_ = false;
    bool unloading_ = false;
    bool modal_ = false;
    bool paintPending_ = false;
    int busy_ = 0;
    uint64_t ownChangedAt_ = 0, layoutChangedAt_ = 0;
    Event<> loadEvent_, paintEvent_, unloadEvent_;
    std::vector<std::function<void()>> failureSteps_;
    std::vector<std::function<bool()>> unsavedChecks_;
};

}  // namespace mk
