// After a posting that moved cash or a partner's balance: the windows that
// show them (the customers and suppliers windows, the cash box window and
// the main window's totals of debts, credits and cash) show the stored
// values again. A window holding a change of its own is left as it is.
#pragma once

namespace mk {

class Application;

void showPostedMoney(Application& app);

}  // namespace mk
