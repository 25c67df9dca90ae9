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
    exchange(s, false);
    return s;
}

void WindowState::put(const ControlState& kept) {
    ControlState s = kept;
    Control& c = *s.control;
    c.visible = s.visible;
    c.enabled = s.enabled;
    c.left = s.left;
    c.top = s.top;
    c.width = s.width;
    c.height = s.height;
    exchange(s, true);
    if (auto* b = dynamic_cast<BoundValue*>(&c)) b->restoreChange(s.changed, s.exact);
}

void WindowState::exchange(ControlState& s, bool put) {
    Control& c = *s.control;
    // One way or the other between what the control shows and what is kept.
    const auto pass = [put](auto& shown, auto& kept) {
        if (put) shown = kept;
        else kept = shown;
    };
    switch (c.kind()) {
        case ControlKind::Label: {
            auto& l = static_cast<Label&>(c);
            if (put) l.displayCaption(s.text);
            else s.text = l.caption();
            break;
        }
        case ControlKind::TextBox: {
            auto& t = static_cast<TextBox&>(c);
            // A password is never kept for the next person, even by a
            // failure (a login empties it once the password is accepted).
            if (!put) s.text = t.text();
            else if (t.passwordChar->empty() || s.text.empty()) t.displayText(s.text);
            pass(t.locked, s.locked);
            break;
        }
        case ControlKind::DataCombo:
        case ControlKind::DataList: {
            auto& d = static_cast<DataCombo&>(c);
            if (put) d.displayText(s.text);
            else s.text = d.text();
            pass(d.locked, s.locked);
            break;
        }
        case ControlKind::CommandButton: pass(static_cast<CommandButton&>(c).caption, s.text); break;
        case ControlKind::CheckBox: {
            auto& k = static_cast<CheckBox&>(c);
            pass(k.caption, s.text);
            if (put) k.displayValue(s.value);
            else s.value = k.value();
            break;
        }
        case ControlKind::OptionButton: {
            auto& o = static_cast<OptionButton&>(c);
            pass(o.caption, s.text);
            bool on = s.value != 0;
            pass(o.value, on);
            s.value = on ? 1 : 0;
            break;
        }
        case ControlKind::ComboBox: {
            auto& b = static_cast<ComboBox&>(c);
            pass(b.text, s.text);
            pass(b.listIndex, s.value);
            pass(b.locked, s.locked);
            break;
        }
        case ControlKind::ListBox: pass(static_cast<ListBox&>(c).listIndex, s.value); break;
        case ControlKind::Frame: pass(static_cast<Frame&>(c).caption, s.text); break;
        case ControlKind::DataControl: pass(static_cast<Adodc&>(c).caption, s.text); break;
        default: break;
    }
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
