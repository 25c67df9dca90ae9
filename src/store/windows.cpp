#include "store/windows.h"

#include "platform/application.h"

namespace mk {

void registerStoreWindows(Application&) {}

}  // namespace mk
