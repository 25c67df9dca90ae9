// The item movement views Form29, Form31 and Form33.
#pragma once

namespace mk {
class Application;
void registerMovementWindows(Application& app);
}  // namespace mk
