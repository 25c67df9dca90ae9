// The restore window Form47 and the exit backup window Form48.
#pragma once

namespace mk {
class Application;
void registerBackupWindows(Application& app);
}  // namespace mk
