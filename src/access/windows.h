// Registers the windows of this part of the system.
#pragma once

namespace mk {
class Application;
void registerAccessWindows(Application& app);
}  // namespace mk
