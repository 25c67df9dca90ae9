// New employees and their follow-up tables: the new employee window Form50
// (a card in emplyee and a follow-up table named by the employee) and the
// staff follow-up window Form51 (an employee's table, row by row).
#pragma once

#include <memory>
#include <string>

#include "platform/form.h"

namespace mk {

class RecordEditing;

// Whether the table of this name is an employee follow-up table: it exists
// and has exactly the follow-up fields and types.
bool isFollowUpTable(Database& db, const std::string& name);

class Form50 : public Form {
public:
    static constexpr const char* kName = "Form50";
    explicit Form50(Application& a);
    ~Form50() override;
    void Form_Load() override;

    Label* Label1;
    TextBox* Text1;        // the new employee's name
    TextBox* Text2;        // copy of the name a save took
    Adodc* Adodc1;         // the follow-up table just made
    TextBox* Text4[8];     // its first row's carriers
    Adodc* Adodc2;         // emplyee
    TextBox* Text3[16];    // the new card's carriers
    CommandButton* cmdaction[3];

private:
    void addOrSave();
    void saveEmployee();

    std::unique_ptr<RecordEditing> editing_;
};

class Form51 : public Form {
public:
    static constexpr const char* kName = "Form51";
    explicit Form51(Application& a);
    ~Form51() override;
    void Form_Load() override;

    Adodc* Adodc1;      // emplyee, the list's rows
    Label* Label2;
    DataList* DataList1;
    Frame* Frame1;
    Label* Label1[8];
    TextBox* Text1[8];  // the follow-up fields of Adodc2's row
    Label* Label3;
    TextBox* Text2;     // MEMO
    Adodc* Adodc2;      // the picked employee's follow-up table
    CommandButton* cmdaction[3];

private:
    void pickEmployee();

    std::unique_ptr<RecordEditing> editing_;
};

}  // namespace mk
