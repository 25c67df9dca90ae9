// Steps the access tests share: users with rights, and logging in.
#pragma once

#include <string>

#include "data/record_editing.h"
#include "support/harness.h"

namespace mk::test {

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
