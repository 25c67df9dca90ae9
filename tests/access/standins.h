// Test-only stand-ins for the main window Form1 and the start window Form16
// with only the controls these tests touch; the real windows are used once
// they are registered.
#pragma once

#include <string>

#include "data/record_editing.h"
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
    }
    void Form_Load() override {
        bindTable(*Adodc7, "Admin");
        bindTable(*Adodc6, "DAILY_TRADE");
        Label13->setCaption(formatShortDate(app().clock().today()));
    }
    Label* Label13;
    PictureBox* Picture2;
    Adodc *Adodc6, *Adodc7;
};

class StandInStart : public Form {
public:
    static constexpr const char* kName = "Form16";
    explicit StandInStart(Application& a) : Form(a, kName) {
        Label3 = add<Label>("Label3", -1, Geometry{240, 240, 3000, 315}, "  مخزن و حسابات ");
    }
    Label* Label3;
};

inline void registerStandIns(Application& app) {
    if (!app.isRegistered("Form1")) app.registerForm<StandInMain>();
    if (!app.isRegistered("Form16")) app.registerForm<StandInStart>();
}

// A user row of Admin with the given rights True.
inline void addUser(Harness& h, const std::string& id, const std::string& password,
                    std::initializer_list<const char*> rights = {}) {
    std::string cols = "UserID, Password", vals = "'" + id + "', '" + password + "'";
    for (const char* r : rights) cols += std::string(", \"") + r + "\"", vals += ", 1";
    h.exec("INSERT INTO Admin (" + cols + ") VALUES (" + vals + ")");
}

inline bool right(Harness& h, const std::string& id, const std::string& field) {
    auto ids = h.column("Admin", "UserID");
    for (size_t i = 0; i < ids.size(); ++i)
        if (toText(ids[i]) == id) return h.cell("Admin", static_cast<long>(i), field) == Value(true);
    return false;
}

// Types a user id and password into a login window and presses its button.
inline void login(Harness& h, const std::string& form, const std::string& user,
                  const std::string& password) {
    h.type(form, "Text1", user, 0);
    h.type(form, "Text1", password, 1);
    h.click(form, "Command1");
}

}  // namespace mk::test
