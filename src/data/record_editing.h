// What every data window shares: the record editing buttons cmdaction(0..2)
// (add/save, cancel, edit/save), the delete confirmation and the linear
// record search, and the texts every window reads from the start and main
// windows.
//
// The buttons' state is a mode (browsing, adding, editing), one at a time;
// the add and edit captions are written from it and never read back.
// A save refuses, naming the box, what a field cannot take, or a typed
// change of a field another action stored since the edit began, before it
// writes; if its writes fail the row is put back as it was entered.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/application.h"

namespace mk {

enum class EditMode { Browsing, Adding, Editing };

struct RecordEditingTexts {
    std::string add = "&add";
    std::string addSave = "&save";
    std::string edit = "&edit";
    std::string editSave = "&save";
    std::string cancelPrompt = "undo changes?";
    std::string cancelTitle = "cancel edites";
    // Said when add is pressed while a row is edited, or edit while one is
    // added: one row is entered at a time.
    std::string busy = "احفظ ما أدخلته أو ألغه أولا";
    // The expense windows' cancel also sets the edit button back.
    bool cancelResetsEdit = false;
    // The item card's edit button works while a row is added: it turns
    // into save, and either save button stores the new row.
    bool editWhileAdding = false;
    // The item card's navigation bar works while a row is added or edited
    // (the card stores the row left as its save would).
    bool navigateWhileEntering = false;
};

class RecordEditing {
public:
    // buttons: cmdaction(0), (1), (2); a window may lack some (null).
    RecordEditing(Form& form, Adodc& data, std::array<CommandButton*, 3> buttons,
                  RecordEditingTexts texts = {});

    // The boxes that only the editing buttons unlock.
    std::vector<Control*> gatedBoxes;
    // The box a new row is filled from: add puts the focus there.
    Control* firstEntry = nullptr;
    // Writes the window's defaults into the boxes of a new row.
    std::function<void()> addDefaults;
    // A window's own add/save or edit/save procedure in place of the
    // standard one (they may call the standard ones).
    std::function<void()> addSaveProcedure;
    std::function<void()> editSaveProcedure;
    // A window's own steps after a confirmed cancel (flags, choosers).
    std::function<void()> afterCancel;

    // cmdaction_Click(Index): 0 add/save, 1 cancel, 2 edit/save.
    void click(int index);

    EditMode mode() const { return mode_; }
    // Sets the mode and writes the add and edit captions that show it.
    void enter(EditMode mode);
    bool adding() const { return mode_ == EditMode::Adding; }
    bool editing() const { return mode_ == EditMode::Editing; }
    // The edit button reads save: a row is edited, or (editWhileAdding)
    // edit was pressed while one is added.
    bool editSaves() const { return editing() || editSavesAdded_; }
    // While a row is added: the edit button turns into save (the row
    // stays the one being added).
    void editSaveWhileAdding();
    // False, with the busy text said, while a row is added or edited.
    bool requireBrowsing();

    void standardAddSave();
    void standardEditSave();
    void CancelEdit();
    void SetCancelEnabled(bool flag);
    void setBoxesLocked(bool locked);
    // While a row is added or edited the data control's navigation is
    // disabled, so moving off never stores the pending row half checked
    // (unless navigateWhileEntering).
    void refreshNavigation();
    // Back to browsing, as after a save: captions, cancel, locks, navigation.
    void backToBrowsing();

    // Whether the row's typed changes can be stored; otherwise says why,
    // naming the box, and returns false. Saves ask it before their first
    // write (the standard ones do).
    bool entriesFit();
    // A save's writes. If they fail (the action rolls back and the window
    // re-reads its tables), the row is put back as it was entered, being
    // added or edited, so a second press saves it once. The failure must
    // end the action: a caller never swallows it.
    void guardWrites(const std::function<void()>& writes);

    CommandButton* button(int index) const { return buttons_[static_cast<size_t>(index)]; }
    const RecordEditingTexts& texts() const { return texts_; }

private:
    // Where the row being saved stood.
    struct Draft {
        EditMode mode = EditMode::Browsing;
        bool editSavesAdded = false;
        long position = 0;
    };
    void restoreDraft();

    Form& form_;
    Adodc& data_;
    std::array<CommandButton*, 3> buttons_;
    RecordEditingTexts texts_;
    EditMode mode_ = EditMode::Browsing;
    bool editSavesAdded_ = false;
    std::optional<Draft> failedDraft_;  // kept by a save whose writes failed
};

// Whether the data control's typed changes can be stored in their fields
// without overwriting what another action stored since they began;
// otherwise says why, naming the box by the label beside it (and the value
// now stored), and returns false. Nothing is written either way.
bool entriesFit(Form& form, DataControl& data);

// True when the data control shows a row; otherwise says so (nothing is
// changed) and returns false.
bool requireCurrentRow(Form& form, Adodc& data);

// Asks with the window's prompt (title "Deleting", Yes/No); Yes deletes the
// current row only, then the data control re-reads its table. With no row
// shown it says so and asks nothing. Returns whether a row was deleted.
bool confirmDelete(Form& form, Adodc& data, const std::string& prompt);

enum class SearchKind { Text, Number };
enum class SearchResult { Cancelled, Found, NotFound };

// Asks for a value and makes the first matching row current, committing each
// row passed; at the end it shows " unable to find that item " (or the
// window's own message when one is given).
SearchResult linearSearch(Form& form, Adodc& data, const std::string& field,
                          const std::string& prompt, const std::string& title, SearchKind kind,
                          const std::string& notFoundMessage = " unable to find that item ");

// The five steps of a table binding on the database file.
void bindTable(Adodc& data, const std::string& table);

// The company title line (the start window's) and the document date (the
// main window's), asked of those windows (data/window_links.h); asking
// loads them when needed.
std::string companyTitle(Application& app);
std::string documentDate(Application& app);

}  // namespace mk
