#include "app/windows.h"

#include "platform/application.h"

namespace mk {

namespace {

// Shown at start until the start window exists: says the file is open.
class Welcome : public Form {
public:
    static constexpr const char* kName = "Welcome";
    explicit Welcome(Application& app) : Form(app, kName) {
        caption = "مخزن و حسابات";
        width = 6000;
        height = 2400;
        add<Label>("Label1", -1, Geometry{240, 360, 5400, 600},
                   "تم فتح قاعدة البيانات");
        auto* ok = add<CommandButton>("Command1", -1, Geometry{2160, 1200, 1600, 480}, "خروج");
        ok->onClick = [this] { Unload(); };
    }
};

}  // namespace

void registerAppWindows(Application& app) { app.registerForm<Welcome>(); }

}  // namespace mk
