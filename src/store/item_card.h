// The item card of the main window: the group chooser, the boxes bound to
// the chosen group's table through Adodc4, the record editing buttons, the
// delete button, the search by name and the item movement launchers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/form.h"

namespace mk {

class RecordEditing;

class ItemCard {
public:
    // Builds the card's controls on the main window; groups is its data
    // control on qqq (Adodc5), the chooser's list.
    ItemCard(Form& form, Adodc& groups);
    ~ItemCard();
    ItemCard(const ItemCard&) = delete;
    ItemCard& operator=(const ItemCard&) = delete;

    // The menu item earchby_name.
    void searchByName();
    // Shows what another window stored in the chosen group's table, unless
    // the card holds a typed change (its save shows it).
    void tablesChanged(const ChangedTables& tables);

    Adodc* Adodc4;  // the item data control, on the chosen group's table
    DataCombo* DataCombo3;
    Label* Label16;  // the chosen group
    Label* Label17;
    Label* Label18;
    TextBox* Text6;  // DESC: the current item's name, read by other windows
    TextBox* Text5;
    TextBox* Text3[2];
    TextBox* Text4[2];
    TextBox* Text7;
    TextBox* Text9;
    TextBox* Text10;
    TextBox* Text1[2];
    TextBox* Text2;
    CommandButton* cmdaction[3];
    CommandButton* Command1;  // delete
    CommandButton* Command6;  // movement launchers, shown once a group is chosen
    CommandButton* Command7;
    CommandButton* Command9;

private:
    void chooseGroup(const std::string& name);
    void AddOrSaveItem();
    void EditOrSaveItem();
    // Stores the row added or edited and locks the boxes again.
    void saveRow();
    // Before the bar moves off a row added or edited: stores it with the
    // checks of a save; false (having said why) keeps it on show.
    bool storeBeforeMove();
    // False (and says so) while no group table is open on the card.
    bool ready();
    static void setLocked(const std::vector<TextBox*>& boxes, bool locked);

    Form& form_;
    std::unique_ptr<RecordEditing> editing_;
    std::vector<TextBox*> addBoxes_;   // unlocked by add
    std::vector<TextBox*> editBoxes_;  // unlocked by edit
    std::string group_;                // the chosen group, which Label16 shows
};

}  // namespace mk
