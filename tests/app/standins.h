// A stand-in for a window the main window reaches by name that is not
// built yet, registered only while the real one is missing.
#pragma once

#include <memory>
#include <string>

#include "data/record_editing.h"

namespace mk::test {

class WindowStandIn : public Form {
public:
    // table: bound to Adodc1 at load (moved to its last row when toLast).
    WindowStandIn(Application& a, std::string name, std::string table = {}, bool toLast = false)
        : Form(a, std::move(name)), table_(std::move(table)), toLast_(toLast) {
        if (!table_.empty()) Adodc1 = add<Adodc>("Adodc1", -1, Geometry{120, 120, 3000, 360});
    }
    void Form_Load() override {
        if (table_.empty()) return;
        bindTable(*Adodc1, table_);
        if (toLast_) Adodc1->recordset().moveLast();
    }
    Adodc* Adodc1 = nullptr;

private:
    std::string table_;
    bool toLast_;
};

inline void registerWindowStandIn(Application& app, const std::string& name,
                            const std::string& table = {}, bool toLast = false) {
    if (app.isRegistered(name)) return;
    app.registerForm(name, [=](Application& a) {
        return std::make_unique<WindowStandIn>(a, name, table, toLast);
    });
}

}  // namespace mk::test
