// One widget per control kind: made once, brought up to date from the
// control on every sync, and turning what the user does into input calls.
#pragma once

#include <QFont>
#include <QWidget>
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
    // The outer widget; null for controls that draw nothing (timers).
    QWidget* widget() const { return widget_; }
    // Frames and picture boxes hold the widgets of their controls.
    virtual bool holdsChildren() const { return false; }
    // Drawn beneath boxes and buttons, as a window draws its own graphics.
    virtual bool drawnOnSurface() const { return false; }
    // Kind-specific state; the window syncs geometry, visibility, fonts,
    // colours and accessibility.
    virtual void sync() = 0;
    // The widget got the focus from the user.
    virtual void focusedByUser() {}
    // Which widget shows the back colour (the frame of a navigation bar,
    // the box of a combo).
    virtual QWidget* colourWidget() const { return widget_; }

    // Remembered by the window so unchanged state is not set again.
    QRect lastRect;
    unsigned lastFore = 0xFFFFFFFFu, lastBack = 0xFFFFFFFFu;
    double lastFontSize = -1;
    bool lastBold = false;

protected:
    FormWindow& window_;
    Control& control_;
    QWidget* widget_ = nullptr;
};

std::unique_ptr<ControlView> makeView(FormWindow& window, Control& control, QWidget* parent);

}  // namespace mk::qt
