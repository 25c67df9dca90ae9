// The controls a window holds. Plain state that the front end draws;
// events are raised only through the Application.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/datacontrol.h"
#include "platform/shown.h"
#include "platform/value.h"

namespace mk {

class Form;
class Application;
class Label;

enum class ControlKind {
    Label,
    TextBox,
    CommandButton,
    CheckBox,
    OptionButton,
    ComboBox,
    ListBox,
    DataCombo,
    DataList,
    Frame,
    PictureBox,
    Timer,
    DataControl,
    DriveList,
    DirList,
    FileList,
    Line,
};

const char* kindName(ControlKind k);

// Colours are 0xRRGGBB; kDefaultColor leaves the front end's own.
inline constexpr uint32_t kDefaultColor = 0xFFFFFFFFu;

struct Geometry {
    double left = 0, top = 0, width = 0, height = 0;  // twips
    bool operator==(const Geometry&) const = default;
};

// One event of a control. A handler is never entered again while it runs.
template <class... Args>
struct Event {
    std::function<void(Args...)> fn;
    bool running = false;
    explicit operator bool() const { return static_cast<bool>(fn); }
    Event& operator=(std::function<void(Args...)> f) {
        fn = std::move(f);
        return *this;
    }
};

class Control : public Drawn {
public:
    Control(Form& form, ControlKind kind, std::string name, int index, Geometry g);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& form() const { return *form_; }
    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }  // -1 when not in a control array
    std::string fullName() const;          // "Text3(0)", "Command1"

    Placed<double> left, top, width, height;
    // Where the window's design put the control; code may move it, a view
    // that lays the window out again puts it back.
    const Geometry design;
    Placed<bool> visible{this, true};
    Shown<bool> enabled{this, true};
    Placed<Control*> container{this, nullptr};  // a frame or picture box
    Shown<double> fontSize{this, 0};           // 0: the window's font
    Shown<bool> fontBold{this, false};
    Shown<uint32_t> foreColor{this, kDefaultColor};
    Shown<uint32_t> backColor{this, kDefaultColor};
    Shown<int> alignment{this, 0};  // 0 left, 1 right, 2 centre
    Shown<std::string> toolTip{this};
    // The label that names this control where its place on the window
    // cannot tell (see Form::labelBeside).
    Placed<const Label*> labelledBy{this, nullptr};
    // What assistive tools say for a control that no label names.
    Shown<std::string> spokenName{this};

    // Counts the change on its window too.
    void changed(bool layout) override;

    // Visible itself, in visible containers.
    bool isShowing() const;
    bool isEffectivelyEnabled() const;
    // Lies under a showing covering panel (made after it, over it): then it
    // takes no input and no focus, whoever sends them.
    bool isCovered() const;
    // Lies under a showing picture box made after it (not its own
    // container): it cannot be seen, so it takes no focus on screen.
    bool isUnderPanel() const;
    virtual bool canFocus() const { return false; }
    // Code moves the focus here (lost focus, then got focus).
    void SetFocus();

    Event<> onClick;
    Event<> onDblClick;
    Event<> onGotFocus;
    Event<> onLostFocus;

private:
    Form* form_;
    ControlKind kind_;
    std::string name_;
    int index_;
};

// Shared part of the controls that show a field of a data control.
class BoundValue : public BoundControl {
public:
    bool boundChanged() const override { return changed_; }
    void clearBoundChange() override { changed_ = false; }
    // The value code gave behind the text (setValue), if any.
    const std::optional<Value>& exactValue() const { return exact_; }
    // Puts back whether it holds a change, and the value behind the text,
    // as a window put back after a failed action held them.
    void restoreChange(bool changed, std::optional<Value> exact) {
        changed_ = changed && dataSource();
        exact_ = std::move(exact);
    }
    void bindTo(DataControl& dc, const std::string& field) { dc.bind(*this, field); }
    // The caption of the label that names it (Form::labelBeside), else its
    // field.
    std::string entryName() const override;

protected:
    // A change when bound, told to its data control.
    void markChanged();
    // What a bound change stores: the value code gave with setValue, else
    // the text on show.
    Value pendingValue(const std::string& shown) const { return exact_ ? *exact_ : Value(shown); }
    bool changed_ = false;
    std::optional<Value> exact_;
};

class Label : public Control, public BoundValue {
public:
    Label(Form& f, std::string name, int index, Geometry g, std::string caption = {});
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& c);    // a change when bound
    void displayCaption(const std::string& c);  // shown only, never stored
    // A change when bound that stores the value itself, while the caption
    // shows its text (a double's text keeps 15 digits; the field gets it whole).
    void setValue(const Value& v);
    // Whether its caption names something: not empty, not only a number.
    bool namesSomething() const;
    Shown<bool> autoSize{this, false};
    Shown<bool> wordWrap{this, false};
    Shown<bool> transparent{this, false};

    void showBoundValue(const Value& v) override;
    Value boundValue() const override { return pendingValue(caption_); }
    void sourceChanged() override { changed(false); }

private:
    void show(const std::string& c);
    std::string caption_;
};

class TextBox : public Control, public BoundValue {
public:
    TextBox(Form& f, std::string name, int index, Geometry g, std::string text = {});
    const std::string& text() const { return text_; }
    void setText(const std::string& t);      // a change when bound
    void displayText(const std::string& t);  // shown only, never stored
    // A change when bound that stores the value itself, while the box shows
    // its text (as Label::setValue).
    void setValue(const Value& v);
    Shown<bool> locked{this, false};
    Shown<bool> multiLine{this, false};
    Shown<bool> scrollBars{this, false};
    Shown<int> maxLength{this, 0};
    Shown<std::string> passwordChar{this};
    bool canFocus() const override { return true; }
    bool takesLineBreaks() const override { return multiLine; }

    Event<> onChange;
    Event<int&> onKeyPress;

    void showBoundValue(const Value& v) override;
    Value boundValue() const override { return pendingValue(text_); }

private:
    void show(const std::string& t);
    std::string text_;
};

class CommandButton : public Control {
public:
    CommandButton(Form& f, std::string name, int index, Geometry g, std::string caption = {});
    Shown<std::string> caption;
    Shown<bool> graphical{this, false};
    bool canFocus() const override { return true; }
};

class CheckBox : public Control, public BoundValue {
public:
    CheckBox(Form& f, std::string name, int index, Geometry g, std::string caption = {});
    Shown<std::string> caption;
    int value() const { return value_; }  // 0 unchecked, 1 checked, 2 grey
    void setValue(int v);                 // a change when bound
    void displayValue(int v);             // shown only, never stored
    bool canFocus() const override { return true; }

    void showBoundValue(const Value& v) override;
    Value boundValue() const override { return Value(value_ == 1); }

private:
    void show(int v);
    int value_ = 0;
};

class OptionButton : public Control {
public:
    OptionButton(Form& f, std::string name, int index, Geometry g, std::string caption = {});
    Shown<std::string> caption;
    Shown<bool> value{this, false};
    bool canFocus() const override { return true; }
};

class ComboBox : public Control {
public:
    ComboBox(Form& f, std::string name, int index, Geometry g);
    Shown<std::vector<std::string>> items{this};
    Shown<int> listIndex{this, -1};
    Shown<std::string> text{this};
    Shown<bool> locked{this, false};
    void AddItem(const std::string& item) { items.edit().push_back(item); }
    void Clear();
    bool canFocus() const override { return true; }
    Event<> onChange;
};

class ListBox : public Control {
public:
    ListBox(Form& f, std::string name, int index, Geometry g);
    Shown<std::vector<std::string>> items{this};
    Shown<int> listIndex{this, -1};
    void AddItem(const std::string& item) { items.edit().push_back(item); }
    void Clear();
    std::string text() const;
    bool canFocus() const override { return true; }
};

// A chooser whose list is one field of a row-source data control; its text
// may be bound to a field of another data control.
class DataCombo : public Control, public BoundValue {
public:
    DataCombo(Form& f, std::string name, int index, Geometry g, ControlKind kind = ControlKind::DataCombo);
    Shown<DataControl*> rowSource{this, nullptr};
    Shown<std::string> listField{this};
    Shown<bool> locked{this, false};
    const std::string& text() const { return text_; }
    void setText(const std::string& t);      // a change when bound; raises nothing
    void displayText(const std::string& t);  // shown only
    std::vector<std::string> list() const;   // the row source's values, in table order
    // The same, shared by every list over the same rows (null when there
    // is no open row source): read once, kept until those rows change.
    std::shared_ptr<const TextColumn> listTexts() const;
    bool canFocus() const override { return true; }

    Event<> onChange;

    void showBoundValue(const Value& v) override;
    Value boundValue() const override { return Value(text_); }

private:
    void show(const std::string& t);
    std::string text_;
};

class DataList : public DataCombo {
public:
    DataList(Form& f, std::string name, int index, Geometry g);
};

class Frame : public Control {
public:
    Frame(Form& f, std::string name, int index, Geometry g, std::string caption = {});
    Shown<std::string> caption;
};

class PictureBox : public Control {
public:
    PictureBox(Form& f, std::string name, int index, Geometry g);
    Shown<std::string> picture{this};  // name of the picture it shows, if any
    Shown<bool> border{this, true};
    // A plain panel that guards what it covers, not only hides it.
    Placed<bool> covering{this, false};
};

class Timer : public Control {
public:
    Timer(Form& f, std::string name, int index, int interval, bool enabled);
    int interval() const { return interval_; }
    void setInterval(int ms);
    bool isEnabled() const { return enabled; }
    // Enabling a running timer does not restart its interval.
    void setEnabled(bool on);

    Event<> onTimer;

    // Used by the application's timer loop.
    long long nextDue = 0;
    void start();

private:
    int interval_;
};

class Adodc : public Control, public DataControl {
public:
    Adodc(Form& f, std::string name, int index, Geometry g, std::string caption = {});
    Shown<std::string> caption;
    // Asked by a move of the navigation bar, in its action, before it
    // moves: false keeps the current row on show and moves nothing.
    std::function<bool()> beforeMove;
};

// A line drawn on a window.
class LineShape : public Control {
public:
    LineShape(Form& f, std::string name, int index, double x1, double y1, double x2, double y2);
    Placed<double> x1, y1, x2, y2;
};

// Drives, folders and files under the data root, named as the windows
// name them ("c:", "D:\", "D:\backup").
class DriveListBox : public Control {
public:
    DriveListBox(Form& f, std::string name, int index, Geometry g);
    const std::string& drive() const { return drive_; }
    // Fails for a drive that cannot be read.
    void setDrive(const std::string& d);
    std::vector<std::string> list() const;
    bool canFocus() const override { return true; }
    Event<> onChange;

private:
    friend class Application;
    // Shows the drive "d" names, as "c:"; nothing checked.
    void show(const std::string& d);
    std::string drive_ = "c:";
};

class DirListBox : public Control {
public:
    DirListBox(Form& f, std::string name, int index, Geometry g);
    const std::string& path() const { return path_; }
    // Fails for a folder that cannot be read; raises the change event.
    void setPath(const std::string& p);
    std::vector<std::string> subfolders() const;  // full paths
    bool canFocus() const override { return true; }
    Event<> onChange;

private:
    std::string path_ = "C:\\";
};

class FileListBox : public Control {
public:
    FileListBox(Form& f, std::string name, int index, Geometry g);
    const std::string& path() const { return path_; }
    void setPath(const std::string& p);  // fails for a folder that cannot be read
    Shown<std::string> pattern{this, "*.*"};
    Shown<std::string> fileName{this};  // the chosen file, "" when none
    std::vector<std::string> files() const;
    bool canFocus() const override { return true; }

private:
    std::string path_ = "C:\\";
};

// A menu item; top-level items form the window's menu bar.
class MenuItem : public Drawn {
public:
    MenuItem(Form& f, std::string name, int index, std::string caption, MenuItem* parent,
             std::string shortcut);
    virtual ~MenuItem() = default;
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;
    Form& form() const { return *form_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }
    Shown<std::string> caption;
    Shown<std::string> shortcut;  // "Ctrl+S", "Shift+F1"
    Shown<bool> enabled{this, true};
    Shown<bool> visible{this, true};
    Shown<bool> checked{this, false};
    // A change of the menu is a change of its window.
    void changed(bool layout) override;
    MenuItem* parent() const { return parent_; }
    const std::vector<MenuItem*>& children() const { return children_; }
    bool isAvailable() const;  // enabled and visible, with its parents
    Event<> onClick;

private:
    friend class Form;
    Form* form_;
    std::string name_;
    int index_;
    MenuItem* parent_;
    std::vector<MenuItem*> children_;
};

// "*.mdb" against a file name, letter case ignored.
bool matchesPattern(std::string_view name, std::string_view pattern);

}  // namespace mk
