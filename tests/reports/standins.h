// Test-only stand-ins for the windows the report workers read by name
// (registered only while the real ones are missing), and a window whose
// buttons launch the workers as the real launchers do.
#pragma once

#include <string>

#include "data/scratch.h"
#include "platform/application.h"
#include "store/expiry.h"
#include "support/harness.h"

namespace mk::test {

// The main window: the item name box and the document date.
class StandInForm1 : public Form {
public:
    static constexpr const char* kName = "Form1";
    explicit StandInForm1(Application& a) : Form(a, kName) {
        add<TextBox>("Text6", -1, Geometry{240, 240, 2400, 315});
        add<Label>("Label13", -1, Geometry{240, 660, 1200, 315}, "06/12/2026");
    }
};

// The start window's title line.
class StandInForm16 : public Form {
public:
    static constexpr const char* kName = "Form16";
    explicit StandInForm16(Application& a) : Form(a, kName) {
        add<Label>("Label3", -1, Geometry{240, 240, 4800, 315}, "  مخزن و حسابات ");
    }
};

// A partner window: its name box Text1(0).
template <const char* Name>
class StandInPartner : public Form {
public:
    static constexpr const char* kName = Name;
    explicit StandInPartner(Application& a) : Form(a, kName) {
        add<TextBox>("Text1", 0, Geometry{240, 240, 2400, 315});
    }
};
inline constexpr char kForm5[] = "Form5";
inline constexpr char kForm6[] = "Form6";

// The launchers: Form1's Command6, Command7, Command9 and date_report,
// Form5's and Form6's Command2.
class Launchers : public Form {
public:
    static constexpr const char* kName = "Launchers";
    explicit Launchers(Application& a) : Form(a, kName) {
        button("Command6", [this] { launchWorker(app(), ScratchTable::ProductBuy, "Form29"); });
        button("Command7", [this] { launchWorker(app(), ScratchTable::ProductBuy, "Form33"); });
        button("Command9", [this] { launchWorker(app(), ScratchTable::ProductBuy, "Form31"); });
        button("Suppliers", [this] { launchWorker(app(), ScratchTable::BuyerDeals, "Form46"); });
        button("Customers", [this] { launchWorker(app(), ScratchTable::BuyerDeals, "Form40"); });
        button("date_report", [this] { askExpiryPeriodAndShow(app()); });
    }

private:
    void button(const std::string& name, std::function<void()> fn) {
        auto* b = add<CommandButton>(name, -1, Geometry{240, 240 + 420.0 * count_++, 2400, 375},
                                     name);
        b->onClick = std::move(fn);
    }
    int count_ = 0;
};

inline void registerStandIns(Application& app) {
    if (!app.isRegistered("Form1")) app.registerForm<StandInForm1>();
    if (!app.isRegistered("Form16")) app.registerForm<StandInForm16>();
    if (!app.isRegistered("Form5")) app.registerForm<StandInPartner<kForm5>>();
    if (!app.isRegistered("Form6")) app.registerForm<StandInPartner<kForm6>>();
    app.registerForm<Launchers>();
}

// A harness with the stand-ins and the launchers shown.
class WorkerHarness : public Harness {
public:
    WorkerHarness() {
        registerStandIns(app);
        show("Launchers");
    }
    // What the main window's item card and a partner window show (display
    // only: nothing is written into their rows).
    void showItem(const std::string& name) { form("Form1").textBox("Text6").displayText(name); }
    void showPartner(const std::string& window, const std::string& name) {
        form(window).textBox("Text1", 0).displayText(name);
    }
    void launch(const std::string& button) { click("Launchers", button); }
    Value flag(const std::string& field) { return cell("FLAGS", 0, field); }
};

}  // namespace mk::test
