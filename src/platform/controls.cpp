#include "platform/controls.h"

#include <algorithm>
#include <filesystem>

#include "platform/application.h"
#include "platform/files.h"
#include "platform/form.h"

namespace mk {

namespace fs = std::filesystem;

const char* kindName(ControlKind k) {
    switch (k) {
        case ControlKind::Label: return "Label";
        case ControlKind::TextBox: return "TextBox";
        case ControlKind::CommandButton: return "CommandButton";
        case ControlKind::CheckBox: return "CheckBox";
        case ControlKind::OptionButton: return "OptionButton";
        case ControlKind::ComboBox: return "ComboBox";
        case ControlKind::ListBox: return "ListBox";
        case ControlKind::DataCombo: return "DataCombo";
        case ControlKind::DataList: return "DataList";
        case ControlKind::Frame: return "Frame";
        case ControlKind::PictureBox: return "PictureBox";
        case ControlKind::Timer: return "Timer";
        case ControlKind::DataControl: return "Adodc";
        case ControlKind::DriveList: return "DriveListBox";
        case ControlKind::DirList: return "DirListBox";
        case ControlKind::FileList: return "FileListBox";
        case ControlKind::Line: return "Line";
    }
    return "Control";
}

Control::Control(Form& form, ControlKind kind, std::string name, int index, Geometry g)
    : left(this, g.left), top(this, g.top), width(this, g.width), height(this, g.height), design(g),
      form_(&form), kind_(kind), name_(std::move(name)), index_(index) {}

Control::~Control() = default;

void Control::changed(bool layout) {
    changedAt_ = next();
    form_->controlChanged(changedAt_, layout);
}

std::string Control::fullName() const {
    return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

std::string BoundValue::entryName() const {
    if (const auto* c = dynamic_cast<const Control*>(this))
        if (const Label* l = c->form().labelBeside(*c)) {
            std::string name = l->caption();
            const size_t first = name.find_first_not_of(' ');
            const size_t last = name.find_last_not_of(' ');
            if (first != std::string::npos) return name.substr(first, last - first + 1);
        }
    return dataField();
}

bool Control::isShowing() const { return visible && (!container || container->isShowing()); }

bool Control::isEffectivelyEnabled() const {
    return enabled && (!container || container->isEffectivelyEnabled());
}

namespace {

// Whether a showing picture box made after `c` lies over it as `over`
// tells, its own containers excepted.
template <class Over>
bool liesUnder(const Control& c, Over over) {
    bool above = false;  // controls made later lie above this one
    for (const auto& other : c.form().controls()) {
        if (other.get() == &c) {
            above = true;
            continue;
        }
        if (!above || other->kind() != ControlKind::PictureBox) continue;
        const auto& panel = static_cast<const PictureBox&>(*other);
        if (!panel.isShowing()) continue;
        bool onPanel = false;  // the panel's own contents lie on it
        for (const Control* up = c.container; up && !onPanel; up = up->container)
            onPanel = up == &panel;
        if (!onPanel && over(panel)) return true;
    }
    return false;
}

}  // namespace

bool Control::isCovered() const {
    return liesUnder(*this, [this](const PictureBox& panel) {
        return panel.covering && left < panel.left + panel.width && panel.left < left + width &&
               top < panel.top + panel.height && panel.top < top + height;
    });
}

bool Control::isUnderPanel() const {
    const double x = left + width / 2, y = top + height / 2;
    return liesUnder(*this, [x, y](const PictureBox& panel) {
        return x > panel.left && x < panel.left + panel.width && y > panel.top &&
               y < panel.top + panel.height;
    });
}

void Control::SetFocus() { form().app().setFocus(*this); }

void BoundValue::markChanged() {
    if (!dataSource()) return;
    changed_ = true;
    tellChange();
}

// ------------------------------------------------------------------ Label

Label::Label(Form& f, std::string name, int index, Geometry g, std::string caption)
    : Control(f, ControlKind::Label, std::move(name), index, g), caption_(std::move(caption)) {}

void Label::show(const std::string& c) {
    exact_.reset();
    if (c == caption_) return;
    // A label that starts or stops naming something may name another box.
    const bool named = namesSomething();
    caption_ = c;
    changed(namesSomething() != named);
}

void Label::setCaption(const std::string& c) {
    show(c);
    markChanged();
}

void Label::displayCaption(const std::string& c) { show(c); }

void Label::setValue(const Value& v) {
    setCaption(toText(v));
    exact_ = v;
}

void Label::showBoundValue(const Value& v) { show(toText(v)); }

// ---------------------------------------------------------------- TextBox

TextBox::TextBox(Form& f, std::string name, int index, Geometry g, std::string text)
    : Control(f, ControlKind::TextBox, std::move(name), index, g), text_(std::move(text)) {}

void TextBox::show(const std::string& t) {
    exact_.reset();
    if (t == text_) return;
    text_ = t;
    changed(false);
}

void TextBox::setText(const std::string& t) {
    show(t);
    markChanged();
}

void TextBox::displayText(const std::string& t) { show(t); }

void TextBox::setValue(const Value& v) {
    setText(toText(v));
    exact_ = v;
}

void TextBox::showBoundValue(const Value& v) { show(toText(v)); }

// ---------------------------------------------------------- CommandButton

CommandButton::CommandButton(Form& f, std::string name, int index, Geometry g,
                             std::string caption_)
    : Control(f, ControlKind::CommandButton, std::move(name), index, g),
      caption(this, std::move(caption_)) {}

// --------------------------------------------------------------- CheckBox

CheckBox::CheckBox(Form& f, std::string name, int index, Geometry g, std::string caption_)
    : Control(f, ControlKind::CheckBox, std::move(name), index, g), caption(this, std::move(caption_)) {}

void CheckBox::show(int v) {
    if (v == value_) return;
    value_ = v;
    changed(false);
}

void CheckBox::setValue(int v) {
    show(v);
    markChanged();
}

void CheckBox::displayValue(int v) { show(v); }

void CheckBox::showBoundValue(const Value& v) {
    try {
        show(toBool(v) ? 1 : 0);
    } catch (const RuntimeError&) {
        show(0);
    }
}

OptionButton::OptionButton(Form& f, std::string name, int index, Geometry g,
                           std::string caption_)
    : Control(f, ControlKind::OptionButton, std::move(name), index, g),
      caption(this, std::move(caption_)) {}

// ------------------------------------------------------- ComboBox, ListBox

ComboBox::ComboBox(Form& f, std::string name, int index, Geometry g)
    : Control(f, ControlKind::ComboBox, std::move(name), index, g) {}

void ComboBox::Clear() {
    items = {};
    listIndex = -1;
    text = {};
}

ListBox::ListBox(Form& f, std::string name, int index, Geometry g)
    : Control(f, ControlKind::ListBox, std::move(name), index, g) {}

void ListBox::Clear() {
    items = {};
    listIndex = -1;
}

std::string ListBox::text() const {
    if (listIndex < 0 || listIndex >= static_cast<int>(items->size())) return "";
    return items.get()[static_cast<size_t>(listIndex)];
}

// -------------------------------------------------------------- DataCombo

DataCombo::DataCombo(Form& f, std::string name, int index, Geometry g, ControlKind kind)
    : Control(f, kind, std::move(name), index, g) {}

void DataCombo::show(const std::string& t) {
    if (t == text_) return;
    text_ = t;
    changed(false);
}

void DataCombo::setText(const std::string& t) {
    show(t);
    markChanged();
}

void DataCombo::displayText(const std::string& t) { show(t); }

void DataCombo::showBoundValue(const Value& v) { show(toText(v)); }

std::shared_ptr<const TextColumn> DataCombo::listTexts() const {
    if (!rowSource || !rowSource->isOpen() || listField->empty()) return nullptr;
    Recordset& rs = rowSource->recordset();
    if (!rs.hasField(listField.get())) return nullptr;
    return rs.columnTexts(listField.get());
}

std::vector<std::string> DataCombo::list() const {
    const auto texts = listTexts();
    return texts ? texts->toVector() : std::vector<std::string>{};
}

DataList::DataList(Form& f, std::string name, int index, Geometry g)
    : DataCombo(f, std::move(name), index, g, ControlKind::DataList) {}

// ------------------------------------------------------ containers, timer

Frame::Frame(Form& f, std::string name, int index, Geometry g, std::string caption_)
    : Control(f, ControlKind::Frame, std::move(name), index, g), caption(this, std::move(caption_)) {}

PictureBox::PictureBox(Form& f, std::string name, int index, Geometry g)
    : Control(f, ControlKind::PictureBox, std::move(name), index, g) {}

Timer::Timer(Form& f, std::string name, int index, int interval, bool on)
    : Control(f, ControlKind::Timer, std::move(name), index, {}), interval_(interval) {
    visible = false;
    enabled = on;
}

void Timer::start() {
    nextDue = form().app().clock().monotonicMs() + interval_;
}

void Timer::setInterval(int ms) {
    interval_ = ms;
    if (enabled) start();
}

void Timer::setEnabled(bool on) {
    if (on == enabled) return;
    enabled = on;
    if (on) start();
    else nextDue = 0;
}

Adodc::Adodc(Form& f, std::string name, int index, Geometry g, std::string caption_)
    : Control(f, ControlKind::DataControl, std::move(name), index, g),
      DataControl(f.app().machine()),
      caption(this, std::move(caption_)) {}

LineShape::LineShape(Form& f, std::string name, int index, double ax1, double ay1, double ax2,
                     double ay2)
    : Control(f, ControlKind::Line, std::move(name), index,
              {std::min(ax1, ax2), std::min(ay1, ay2), std::abs(ax2 - ax1), std::abs(ay2 - ay1)}),
      x1(this, ax1), y1(this, ay1), x2(this, ax2), y2(this, ay2) {}

// ---------------------------------------------------- drives and folders

DriveListBox::DriveListBox(Form& f, std::string name, int index, Geometry g)
    : Control(f, ControlKind::DriveList, std::move(name), index, g) {}

void DriveListBox::setDrive(const std::string& d) {
    Machine& m = form().app().machine();
    if (!m.driveExists(d))
        throw RuntimeError(err::DeviceUnavailable, "Device unavailable: " + d);
    show(d);
}

void DriveListBox::show(const std::string& d) {
    char letter = d.front();
    if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
    const std::string drive = std::string(1, letter) + ":";
    if (drive == drive_) return;
    drive_ = drive;
    changed(false);
}

std::vector<std::string> DriveListBox::list() const { return form().app().machine().drives(); }

DirListBox::DirListBox(Form& f, std::string name, int index, Geometry g)
    : Control(f, ControlKind::DirList, std::move(name), index, g) {}

void DirListBox::setPath(const std::string& p) {
    Machine& m = form().app().machine();
    fs::path real = m.mapPath(p);
    std::error_code ec;
    if (!m.driveExists(p) || !fs::is_directory(real, ec))
        throw RuntimeError(err::PathNotFound, "Path not found: " + p);
    if (std::string path = toWindowsPath(m, real); path != path_) {
        path_ = std::move(path);
        changed(false);
    }
    form().app().raise(form(), onChange);
}

std::vector<std::string> DirListBox::subfolders() const {
    Machine& m = form().app().machine();
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(m.mapPath(path_), ec), end; !ec && it != end;
         it.increment(ec))
        if (it->is_directory()) out.push_back(joinWindowsPath(path_, it->path().filename().string()));
    std::sort(out.begin(), out.end());
    return out;
}

FileListBox::FileListBox(Form& f, std::string name, int index, Geometry g)
    : Control(f, ControlKind::FileList, std::move(name), index, g) {}

void FileListBox::setPath(const std::string& p) {
    Machine& m = form().app().machine();
    fs::path real = m.mapPath(p);
    std::error_code ec;
    if (!m.driveExists(p) || !fs::is_directory(real, ec))
        throw RuntimeError(err::PathNotFound, "Path not found: " + p);
    if (std::string path = toWindowsPath(m, real); path != path_) {
        path_ = std::move(path);
        changed(false);
    }
    fileName = {};
}

std::vector<std::string> FileListBox::files() const {
    Machine& m = form().app().machine();
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(m.mapPath(path_), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (it->is_regular_file() && name.find(".part-") == std::string::npos &&
            matchesPattern(name, pattern.get()))
            out.push_back(name);
    }
    std::sort(out.begin(), out.end());
    return out;
}

namespace {

bool globMatch(std::string_view s, std::string_view p) {
    size_t si = 0, pi = 0, star = std::string_view::npos, mark = 0;
    auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    while (si < s.size()) {
        if (pi < p.size() && (p[pi] == '?' || up(p[pi]) == up(s[si]))) {
            ++si;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = si;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            si = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace

bool matchesPattern(std::string_view name, std::string_view pattern) {
    size_t start = 0;
    while (start <= pattern.size()) {
        size_t end = pattern.find(';', start);
        if (end == std::string_view::npos) end = pattern.size();
        std::string_view one = pattern.substr(start, end - start);
        if (one == "*.*" || globMatch(name, one)) return true;
        start = end + 1;
    }
    return false;
}

// ---------------------------------------------------------------- MenuItem

MenuItem::MenuItem(Form& f, std::string name, int index, std::string caption_, MenuItem* parent,
                   std::string shortcut_)
    : caption(this, std::move(caption_)), shortcut(this, std::move(shortcut_)), form_(&f),
      name_(std::move(name)), index_(index), parent_(parent) {}

void MenuItem::changed(bool layout) {
    changedAt_ = next();
    form_->changed(layout);
}

bool MenuItem::isAvailable() const {
    return enabled && visible && (!parent_ || parent_->isAvailable());
}

}  // namespace mk
