// A test-only window whose buttons launch the report workers as the real
// launchers do, and a harness that shows it.
#pragma once

#include <string>

#include "data/scratch.h"
#include "platform/application.h"
#include "store/expiry.h"
#include "support/harness.h"

namespace mk::test {

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

// A harness with the stand-ins and the launchers shown.
class WorkerHarness : public Harness {
public:
    WorkerHarness() {
        app.registerForm<Launchers>();
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
