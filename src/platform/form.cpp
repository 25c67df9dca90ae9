#include "platform/form.h"

#include "platform/application.h"

namespace mk {

namespace {

size_t columns(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string printText(const Value& v) {
    switch (v.type()) {
        case Value::Type::Int16:
        case Value::Type::Int32:
        case Value::Type::Double:
            return formatPrintNumber(toDouble(v));
        default:
            return toText(v);
    }
}

}  // namespace

bool tableChanged(const ChangedTables& tables, std::string_view table) {
    return tables.count(upperAscii(table)) > 0;
}

std::string formatPrintLine(std::initializer_list<PrintArg> items) {
    std::vector<int> zones;
    return formatPrintLine(items, zones);
}

std::string formatPrintLine(std::initializer_list<PrintArg> items, std::vector<int>& zoneStarts) {
    zoneStarts.clear();
    std::string line;
    size_t col = 0;
    for (const PrintArg& a : items) {
        if (a.isZone()) {
            size_t next = (col / kPrintZone + 1) * kPrintZone;
            line.append(next - col, ' ');
            col = next;
            if (zoneStarts.empty() || zoneStarts.back() != static_cast<int>(col))
                zoneStarts.push_back(static_cast<int>(col));
        } else {
            std::string t = printText(a.value());
            line += t;
            col += columns(t);
        }
    }
    return line;
}

Form::Form(Application& app, std::string name) : app_(&app), name_(std::move(name)) {}

Form::~Form() = default;

void Form::changed(bool layout) {
    changedAt_ = ownChangedAt_ = next();
    if (layout) layoutChangedAt_ = changedAt_;
}

void Form::controlChanged(uint64_t at, bool layout) {
    changedAt_ = at;
    if (layout) layoutChangedAt_ = at;
}

MenuItem* Form::addMenu(std::string name, std::string caption_, MenuItem* parent,
                        std::string shortcut, int index) {
    auto m = std::make_unique<MenuItem>(*this, std::move(name), index, std::move(caption_), parent,
                                        std::move(shortcut));
    MenuItem* p = m.get();
    menus_.push_back(std::move(m));
    if (parent) parent->children_.push_back(p);
    else menuBar_.push_back(p);
    changed(false);
    return p;
}

Control* Form::findControl(std::string_view n, int index) const {
    for (const auto& c : controls_)
        if (c->index() == index && namesEqual(c->name(), n)) return c.get();
    return nullptr;
}

Control& Form::control(std::string_view n, int index) const {
    if (Control* c = findControl(n, index)) return *c;
    std::string full(n);
    if (index >= 0) full += "(" + std::to_string(index) + ")";
    throw RuntimeError(err::ControlNotFound,
                       "The window " + name_ + " has no control named " + full + ".");
}

void Form::wrongKind(std::string_view n, int index) const {
    std::string full(n);
    if (index >= 0) full += "(" + std::to_string(index) + ")";
    throw RuntimeError(err::TypeMismatch,
                       "The control " + full + " of " + name_ + " is not of the kind asked for.");
}

MenuItem* Form::findMenu(std::string_view n, int index) const {
    for (const auto& m : menus_)
        if (m->index() == index && namesEqual(m->name(), n)) return m.get();
    return nullptr;
}

MenuItem& Form::menu(std::string_view n, int index) const {
    if (MenuItem* m = findMenu(n, index)) return *m;
    throw RuntimeError(err::ControlNotFound,
                       "The window " + name_ + " has no menu item named " + std::string(n) + ".");
}

std::vector<MenuItem*> Form::allMenus() const {
    std::vector<MenuItem*> out;
    for (const auto& m : menus_) out.push_back(m.get());
    return out;
}

void Form::Print(std::initializer_list<PrintArg> items) {
    std::vector<int> zones;
    printed_.push_back(formatPrintLine(items, zones));
    zoneStarts_.push_back(std::move(zones));
    changed(false);
    // A window keeps a bounded history; the oldest lines scroll off.
    constexpr size_t kKeep = 50000;
    if (printed_.size() > 2 * kKeep) {
        printed_.erase(printed_.begin(), printed_.end() - static_cast<long>(kKeep));
        zoneStarts_.erase(zoneStarts_.begin(), zoneStarts_.end() - static_cast<long>(kKeep));
    }
}

void Form::PrintEmptyLines(int count) {
    for (int i = 0; i < count; ++i) Print();
}

void Form::Cls() {
    if (printed_.empty()) return;
    printed_.clear();
    zoneStarts_.clear();
    changed(false);
}

void Form::Show(bool modal) { app_->show(*this, modal); }

void Form::Hide() { app_->hide(*this); }

void Form::Unload() { app_->unload(*this); }

int Form::MsgBox(const std::string& prompt, int style, const std::string& title) {
    return app_->msgBox(prompt, style, title);
}

int Form::MsgBoxLeftToRight(const std::vector<std::string>& pieces, int style,
                            const std::string& title) {
    return app_->msgBoxLeftToRight(pieces, style, title);
}

void Form::MsgBoxAfterCommit(const std::string& prompt, int style, const std::string& title) {
    app_->afterCommit([this, prompt, style, title] { MsgBox(prompt, style, title); });
}

std::string Form::InputBox(const std::string& prompt, const std::string& title,
                           const std::string& defaultText) {
    return app_->inputBox(prompt, title, defaultText);
}

}  // namespace mk
