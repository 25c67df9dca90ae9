#include "store/expiry.h"

#include "platform/application.h"

namespace mk {

void registerExpiryWindows(Application&) {}

void askExpiryPeriodAndShow(Application&) {
    throw RuntimeError(err::WindowNotAvailable, "The window Form55 is not available.");
}

}  // namespace mk
