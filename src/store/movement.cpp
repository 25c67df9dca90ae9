#include "store/movement.h"

#include "platform/application.h"

namespace mk {

void registerMovementWindows(Application&) {}

}  // namespace mk
