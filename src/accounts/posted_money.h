// After a posting that moved cash or a customer's debt: the windows that
// show them (the customers window, the cash box window and the main
// window's totals of debts and cash) show the stored values again. A
// window holding a change of its own is left as it is.
#pragma once

namespace mk {

class Application;

void showPostedMoney(Application& app);

}  // namespace mk
