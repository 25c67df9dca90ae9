// Minimal stand-ins for the windows of the partners, cash box and access
// work that the main and start windows reach by name. Each is registered
// only while the real window is missing, and holds only what these windows
// use of it.
#pragma once

#include <memory>
#include <string>

#include "data/record_editing.h"
#include "platform/application.h"

namespace mk::test {

// A window whose load binds Adodc1 to its table (moved to the last row for
// the cash box).
class DataStandIn : public Form {
public:
    DataStandIn(Application& a, std::string name, std::string table, bool toLast)
        : Form(a, std::move(name)), table_(std::move(table)), toLast_(toLast) {
        Adodc1 = add<Adodc>("Adodc1", -1, Geometry{120, 120, 3000, 360});
    }
    void Form_Load() override {
        bindTable(*Adodc1, table_);
        if (toLast_) Adodc1->recordset().moveLast();
    }
    Adodc* Adodc1;

private:
    std::string table_;
    bool toLast_;
};

class BlankStandIn : public Form {
public:
    BlankStandIn(Application& a, std::string name) : Form(a, std::move(name)) {}
};

// An empty window under this name, unless the real one is registered.
inline void registerBlank(Application& app, const std::string& name) {
    if (app.isRegistered(name)) return;
    app.registerForm(name, [name](Application& a) { return std::make_unique<BlankStandIn>(a, name); });
}

inline void registerStandIns(Application& app) {
    auto data = [&app](const std::string& name, const std::string& table, bool toLast) {
        if (app.isRegistered(name)) return;
        app.registerForm(name, [=](Application& a) {
            return std::make_unique<DataStandIn>(a, name, table, toLast);
        });
    };
    data("Form5", "SUPPLIER", false);
    data("Form6", "BUYER", false);
    data("Form34", "BOX", true);
    for (const char* name : {"Form12", "Form13", "Form20", "Form52", "Form47", "Form48"})
        registerBlank(app, name);
}

}  // namespace mk::test
