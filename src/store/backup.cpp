#include "store/backup.h"

#include "platform/application.h"

namespace mk {

void registerBackupWindows(Application&) {}

}  // namespace mk
