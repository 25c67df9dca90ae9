// Test-only stand-ins for the main window Form1 and the start window
// Form16, with only the controls these tests touch. Registered only while
// the real windows are not; then the real ones are used.
#pragma once

#include <string>

#include "data/record_editing.h"
#include "platform/application.h"
#include "support/harness.h"

namespace mk::test {

class StandInMain : public Form {
public:
    static constexpr const char* kName = "Form1";
    explicit StandInMain(Application& a) : Form(a, kName) {
        Label13 = add<Label>("Label13", -1, Geometry{240, 240, 1500, 315});
        Picture2 = add<PictureBox>("Picture2", -1, Geometry{240, 720, 3000, 2000});
        Adodc6 = add<Adodc>("Adodc6", -1, Geometry{240, 3000, 2400, 375});
        Adodc7 = add<Adodc>("Adodc7", -1, Geometry{240, 3480, 2400, 375});
        Adodc6->visible = Adodc7->visible = false;
    }
    void Form_Load() override {
        bindTable(*Adodc7, "Admin");
        bindTable(*Adodc6, "DAILY_TRADE");
        caption = "مخزن " + companyTitle(app());
        Label13->setCaption(formatShortDate(app().clock().today()));
    }
    Label* Label13;
    PictureBox* Picture2;
    Adodc* Adodc6;
    Adodc* Adodc7;
};

class StandInStart : public Form {
public:
    static constexpr const char* kName = "Form16";
    explicit StandInStart(Application& a) : Form(a, kName) {
        Adodc2 = add<Adodc>("Adodc2", -1, Geometry{240, 240, 2400, 375});
        Label3 = add<Label>("Label3", -1, Geometry{240, 720, 3000, 315});
    }
    void Form_Load() override {
        bindTable(*Adodc2, "DIM");
        Label3->setCaption("  مخزن و حسابات " + toText(Adodc2->recordset().field("COMPANY_NAME")));
    }
    Adodc* Adodc2;
    Label* Label3;
};

// Whether the real start window was there before any stand-in.
inline bool realStartWindow(Application& app) { return app.isRegistered("Form16"); }

inline void registerStandIns(Application& app) {
    if (!app.isRegistered("Form1")) app.registerForm<StandInMain>();
    if (!app.isRegistered("Form16")) app.registerForm<StandInStart>();
}

// One user row of Admin with the given rights set True.
inline void addUser(Harness& h, const std::string& id, const std::string& password,
                    std::initializer_list<const char*> rights = {}) {
    std::string cols = "\"UserID\", \"Password\", \"FirstName\"";
    std::string vals = "'" + id + "', '" + password + "', '" + id + "'";
    for (const char* r : rights) {
        cols += std::string(", \"") + r + "\"";
        vals += ", 1";
    }
    h.exec("INSERT INTO \"Admin\" (" + cols + ") VALUES (" + vals + ")");
}

inline bool right(Harness& h, const std::string& id, const std::string& field) {
    auto ids = h.column("Admin", "UserID");
    auto values = h.column("Admin", field);
    for (size_t i = 0; i < ids.size(); ++i)
        if (toText(ids[i]) == id) return values[i] == Value(true);
    return false;
}

}  // namespace mk::test
