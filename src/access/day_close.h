// The closing-of-the-day login: after a login with the right "close" it
// empties DAILY_TRADE, marks the reserved day-state row of Admin and closes
// the main window, all as one action.
#pragma once

#include "access/login.h"

namespace mk {

// The Admin row that carries the day-closed marker "enter".
inline constexpr const char* kDayStateUser = "529";

class Form44 : public AccessLogin {
public:
    static constexpr const char* kName = "Form44";
    explicit Form44(Application& a);

protected:
    void logIn() override;
    void giveUp() override;

private:
    void closeDay();
    void unloadIfLoaded(const char* name);
};

}  // namespace mk
