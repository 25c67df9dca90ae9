// The employee data window Form32 on emplyee: one employee's card, the net
// wage computed from its parts, and the wage paid out of the cash box: to
// the employee on show, by its row, once (get_money is never reset).
#pragma once

#include <memory>

#include "platform/form.h"

namespace mk {

class RecordEditing;

class Form32 : public Form {
public:
    static constexpr const char* kName = "Form32";
    static constexpr int kBoxes = 16;
    explicit Form32(Application& a);
    ~Form32() override;
    void Form_Load() override;

    Adodc* Adodc1;                // emplyee
    TextBox* Text1[kBoxes];       // bound in field order; 5, 8 and 11 never shown
    Label* Label1[kBoxes];        // their captions (3 has none on show)
    Label* Label2[2];             // "the date" and today
    CheckBox* Check1;             // get_money, never shown
    Frame* Frame1;                // the wage parts and the compute button
    Frame* Frame2;                // the basic wage and the pay period
    OptionButton* Option1[4];     // daily, weekly, half-monthly, monthly
    CommandButton* Command1;      // compute the net wage
    CommandButton* Command2;      // pay the wage
    CommandButton* cmdaction[3];

private:
    void addOrSave();
    void editOrSave();
    void computeNetWage();
    void payWage();
    void searchByCode();
    // False (and says so) while a card is being added or edited: the pay
    // scan and the search move off the row on show.
    bool browsing();
    void setLocked(int from, int to, bool locked);
    // The locks of browsing: only the status and the wage parts are open;
    // the net wage keeps its own lock.
    void lockForBrowsing();

    std::unique_ptr<RecordEditing> editing_;
};

}  // namespace mk
