// The user rights window Form12 (users of Admin and their twelve rights)
// and the administrator login Form13 that guards it.
#pragma once

#include <functional>
#include <memory>

#include "access/login.h"
#include "data/record_editing.h"
#include "platform/form.h"

namespace mk {

// The data control of the user rights window: it checks a user id before
// any write of the current row, whoever starts the write (a save, the
// navigation bar, the window closing).
class UsersControl : public Adodc {
public:
    using Adodc::Adodc;
    // Called after the bound controls handed over their changes, before
    // the row is written; the stored user id is given.
    std::function<void(Recordset&, const Value& storedId)> beforeWrite;
    void recordsetWillWrite(Recordset& rs) override;
};

class Form12 : public Form {
public:
    static constexpr const char* kName = "Form12";
    explicit Form12(Application& a);
    void Form_Load() override;
    void Form_Unload() override;

    UsersControl* Adodc1;
    TextBox* Text1[4];
    Label* Label3;
    Label* Label4;
    CheckBox* Check1[12];
    Label* Label1[12];
    CommandButton* cmdaction[2];
    CommandButton* Command1;
    CommandButton* cmdClose;

private:
    void addSave();
    void deleteUser();
    void commitShownRow();
    void checkUserId(Recordset& rs, const Value& storedId);
    void backToBrowsing();

    std::unique_ptr<RecordEditing> editing_;
};

class Form13 : public LoginForm {
public:
    static constexpr const char* kName = "Form13";
    explicit Form13(Application& a);
    void Form_Load() override;

protected:
    void logIn() override;
};

}  // namespace mk
