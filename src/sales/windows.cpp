#include "sales/windows.h"

#include "platform/application.h"
#include "sales/retail_invoice.h"

namespace mk {

void registerSalesWindows(Application& app) { app.registerForm<Form3>(); }

}  // namespace mk
