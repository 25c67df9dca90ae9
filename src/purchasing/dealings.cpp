#include "purchasing/dealings.h"

#include "platform/application.h"

namespace mk {

void registerDealingsWindows(Application&) {}

}  // namespace mk
