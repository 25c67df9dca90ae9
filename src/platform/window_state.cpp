#include "platform/window_state.h"

#include <algorithm>

namespace mk {

WindowState::WindowState(const std::vector<Form*>& forms, Control* focus) : focus_(focus) {
    forms_.reserve(forms.size());
    for (Form* f : forms) {
        FormState s{.form = f,
                    .caption = f->caption,
                    .width = f->width,
                    .height = f->height,
                    .printed = f->printed_,
                    .zoneStarts = f->zoneStarts_,
                    .controls = {},
                    .menus = {}};
        s.controls.reserve(f->controls_.size());
        for (const auto& c : f->controls_)
            if (c->kind() != ControlKind::Timer) s.controls.push_back(take(*c));
        for (MenuItem* m : f->allMenus())
            s.menus.push_back({m, m->enabled, m->visible, m->checked, m->caption});
        forms_.push_back(std::move(s));
    }
}

WindowState::ControlState WindowState::take(Control& c) {
    ControlState s{.control = &c,
                   .visible = c.visible,
                   .enabled = c.enabled,
                   .locked = false,
                   .changed = false,
                   .left = c.left,
                   .top = c.top,
                   .width = c.width,
                   .height = c.height,
                   .value = 0,
                   .text = {},
                   .exact = {}};
    if (auto* b = dynamic_cast<BoundValue*>(&c)) {
        s.changed = b->boundChanged();
        s.exact = b->exactValue();
    }
    switch (c.kind()) {
        case ControlKind::Label: s.text = static_cast<Label&>(c).caption(); break;
        case ControlKind::TextBox: {
            auto& t = static_cast<TextBox&>(c);
            s.text = t.text();
            s.locked = t.locked;
            break;
        }
        case ControlKind::DataCombo:
        case ControlKind::DataList: {
            auto& d = static_cast<DataCombo&>(c);
            s.text = d.text();
            s.locked = d.locked;
            break;
        }
        case ControlKind::CommandButton: s.text = static_cast<CommandButton&>(c).caption; break;
        case ControlKind::CheckBox: {
            auto& k = static_cast<CheckBox&>(c);
            s.text = k.caption;
            s.value = k.value();
            break;
        }
        case ControlKind::OptionButton: {
            auto& o = static_cast<OptionButton&>(c);
            s.text = o.caption;
            s.value = o.value ? 1 : 0;
            break;
        }
        case ControlKind::ComboBox: {
            auto& b = static_cast<ComboBox&>(c);
            s.text = b.text;
            s.value = b.listIndex;
            s.locked = b.locked;
            break;
        }
        case ControlKind::ListBox: s.value = static_cast<ListBox&>(c).listIndex; break;
        case ControlKind::Frame: s.text = static_cast<Frame&>(c).caption; break;
        case ControlKind::DataControl: s.text = static_cast<Adodc&>(c).caption; break;
        default: break;
    }
    return s;
}

void WindowState::put(const ControlState& s) {
    Control& c = *s.control;
    c.visible = s.visible;
    c.enabled = s.enabled;
    c.left = s.left;
    c.top = s.top;
    c.width = s.width;
    c.height = s.height;
    switch (c.kind()) {
        case ControlKind::Label: static_cast<Label&>(c).displayCaption(s.text); break;
        case ControlKind::TextBox: {
            auto& t = static_cast<TextBox&>(c);
            // A password is never kept for the next person, even by a
            // failure (a login empties it whatever comes of its press).
            if (t.passwordChar->empty() || s.text.empty()) t.displayText(s.text);
            t.locked = s.locked;
            break;
        }
        case ControlKind::DataCombo:
        case ControlKind::DataList: {
            auto& d = static_cast<DataCombo&>(c);
            d.displayText(s.text);
            d.locked = s.locked;
            break;
        }
        case ControlKind::CommandButton: static_cast<CommandButton&>(c).caption = s.text; break;
        case ControlKind::CheckBox: {
            auto& k = static_cast<CheckBox&>(c);
            k.caption = s.text;
            k.displayValue(s.value);
            break;
        }
        case ControlKind::OptionButton: {
            auto& o = static_cast<OptionButton&>(c);
            o.caption = s.text;
            o.value = s.value != 0;
            break;
        }
        case ControlKind::ComboBox: {
            auto& b = static_cast<ComboBox&>(c);
            b.text = s.text;
            b.listIndex = s.value;
            b.locked = s.locked;
            break;
        }
        case ControlKind::ListBox: static_cast<ListBox&>(c).listIndex = s.value; break;
        case ControlKind::Frame: static_cast<Frame&>(c).caption = s.text; break;
        case ControlKind::DataControl: static_cast<Adodc&>(c).caption = s.text; break;
        default: break;
    }
    if (auto* b = dynamic_cast<BoundValue*>(&c)) b->restoreChange(s.changed, s.exact);
}

void WindowState::restore(const std::vector<Form*>& loaded) const {
    for (const FormState& s : forms_) {
        Form& f = *s.form;
        if (std::find(loaded.begin(), loaded.end(), &f) == loaded.end()) continue;
        f.caption = s.caption;
        f.width = s.width;
        f.height = s.height;
        if (f.printed_ != s.printed || f.zoneStarts_ != s.zoneStarts) {
            f.printed_ = s.printed;
            f.zoneStarts_ = s.zoneStarts;
            f.changed(false);
        }
        for (const ControlState& c : s.controls) put(c);
        for (const MenuState& m : s.menus) {
            m.item->enabled = m.enabled;
            m.item->visible = m.visible;
            m.item->checked = m.checked;
            m.item->caption = m.caption;
        }
    }
}

}  // namespace mk
