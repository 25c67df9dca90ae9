// The customer and supplier dealings views Form40 and Form46.
#pragma once

namespace mk {
class Application;
void registerDealingsWindows(Application& app);
}  // namespace mk
