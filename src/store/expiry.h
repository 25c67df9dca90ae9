// The expiry report: the main window's date_report menu asks for the period
// and shows the worker window Form55.
#pragma once

namespace mk {
class Application;
void registerExpiryWindows(Application& app);
// The date_report menu action of the main window.
void askExpiryPeriodAndShow(Application& app);
}  // namespace mk
