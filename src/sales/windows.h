// Registers the windows of this part of the system.
#pragma once

namespace mk {
class Application;
void registerSalesWindows(Application& app);
}  // namespace mk
