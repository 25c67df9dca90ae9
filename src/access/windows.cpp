#include "access/windows.h"

#include "platform/application.h"

namespace mk {

void registerAccessWindows(Application&) {}

}  // namespace mk
