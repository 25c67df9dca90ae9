// One widget per control kind: made once, brought up to date from the
// control when it changed, and turning what the user does into input calls.
#pragma once

#include <QFont>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/form.h"

namespace mk::qt {

class FormWindow;

class ControlView {
public:
    ControlView(FormWindow& window, Control& control) : window_(window), control_(control) {}
    virtual ~ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    Control& control() const { return control_; }
    FormWindow& window() const { return window_; }
    // The outer widget; null for controls that draw nothing (timers).
    QWidget* widget() const { return widget_; }
    // Frames and picture boxes hold the widgets of their controls.
    virtual bool holdsChildren() const { return false; }
    // Drawn beneath boxes and buttons, as a window draws its own graphics.
    virtual bool drawnOnSurface() const { return false; }
    // State of its own kind, brought up to date when the control changed;
    // the window syncs geometry, visibility, fonts, colours and
    // accessibility.
    virtual void sync() = 0;
    // What it shows from outside the control (a row source's rows, the
    // drives), looked at on every pass, whether the control changed or not.
    virtual bool watchesOutside() const { return false; }
    virtual void syncOutside() {}
    // The widget got the focus from the user.
    virtual void focusedByUser() {}
    // Runs what the user did to the widget; the widget is drawn again from
    // the control afterwards, so what the runtime refused does not stay.
    void input(const std::function<void(Application&)>& fn);
    // Which widget shows the back colour (the frame of a navigation bar,
    // the box of a combo).
    virtual QWidget* colourWidget() const { return widget_; }

    // Remembered by the window so unchanged state is not set again.
    QRect lastRect;
    unsigned lastFore = 0xFFFFFFFFu, lastBack = 0xFFFFFFFFu;
    double lastFontSize = -1;
    bool lastBold = false;
    // To be drawn whole at the next pass: new, or the user changed it.
    bool stale = true;
    // Input from the widget is running: what was typed into it stays,
    // whatever the passes meanwhile draw, until the input is done.
    bool typing = false;
    // The widget shows a text other than the control holds.
    virtual bool showsOther() const { return false; }
    // The label that names it, while the window's layout stays (null:
    // none, or not looked for: `namerKnown`).
    const Label* namer = nullptr;
    bool namerKnown = false;

protected:
    FormWindow& window_;
    Control& control_;
    QWidget* widget_ = nullptr;
};

std::unique_ptr<ControlView> makeView(FormWindow& window, Control& control, QWidget* parent);

}  // namespace mk::qt
