#include "data/record_editing.h"

#include "data/schema.h"

namespace mk {

namespace {

const char* const kNoCurrentRow = "No record is shown: nothing was changed.";

}  // namespace

RecordEditing::RecordEditing(Form& form, Adodc& data, std::array<CommandButton*, 3> buttons,
                             RecordEditingTexts texts)
    : form_(form), data_(data), buttons_(buttons), texts_(std::move(texts)) {
    for (int i = 0; i < 3; ++i)
        if (CommandButton* b = buttons_[static_cast<size_t>(i)]) {
            b->onClick = [this, i] { click(i); };
        }
}

void RecordEditing::click(int index) {
    // Editing, and saving what was added or edited, need a row to act on.
    const bool needsRow = index == 2 || (index == 0 && adding());
    if (needsRow && data_.isOpen() && !requireCurrentRow(form_, data_)) return;
    switch (index) {
        case 0:
            if (addSaveProcedure) addSaveProcedure();
            else standardAddSave();
            break;
        case 1:
            CancelEdit();
            break;
        case 2:
            if (editSaveProcedure) editSaveProcedure();
            else standardEditSave();
            break;
        default:
            break;
    }
    refreshNavigation();
}

void RecordEditing::refreshNavigation() { data_.enabled = !adding() && !editing(); }

void RecordEditing::backToBrowsing() {
    if (buttons_[0]) buttons_[0]->caption = texts_.add;
    if (buttons_[2]) buttons_[2]->caption = texts_.edit;
    SetCancelEnabled(false);
    setBoxesLocked(true);
    refreshNavigation();
}

void RecordEditing::SetCancelEnabled(bool flag) {
    if (buttons_[1]) buttons_[1]->enabled = flag;
}

void RecordEditing::setBoxesLocked(bool locked) {
    for (Control* c : gatedBoxes) {
        if (auto* box = dynamic_cast<TextBox*>(c)) box->locked = locked;
        else if (auto* combo = dynamic_cast<DataCombo*>(c)) combo->locked = locked;
        else c->enabled = !locked;
    }
}

bool RecordEditing::adding() const { return buttons_[0] && buttons_[0]->caption == texts_.addSave; }

bool RecordEditing::editing() const {
    return buttons_[2] && buttons_[2]->caption == texts_.editSave;
}

void RecordEditing::standardAddSave() {
    CommandButton* b = buttons_[0];
    if (!b) return;
    if (b->caption == texts_.add) {
        data_.recordset().addNew();
        if (addDefaults) addDefaults();
        setBoxesLocked(false);
        b->caption = texts_.addSave;
        SetCancelEnabled(true);
    } else if (b->caption == texts_.addSave) {
        data_.recordset().update();
        b->caption = texts_.add;
        SetCancelEnabled(false);
        setBoxesLocked(true);
    }
}

void RecordEditing::standardEditSave() {
    CommandButton* b = buttons_[2];
    if (!b) return;
    if (b->caption == texts_.edit) {
        setBoxesLocked(false);
        b->caption = texts_.editSave;
        SetCancelEnabled(true);
    } else if (b->caption == texts_.editSave) {
        data_.recordset().update();
        b->caption = texts_.edit;
        SetCancelEnabled(false);
        setBoxesLocked(true);
    }
}

void RecordEditing::CancelEdit() {
    if (form_.MsgBox(texts_.cancelPrompt, mb::YesNo | mb::Question, texts_.cancelTitle) !=
        answer::Yes)
        return;
    data_.Refresh();
    if (buttons_[0]) buttons_[0]->caption = texts_.add;
    if (texts_.cancelResetsEdit && buttons_[2]) buttons_[2]->caption = texts_.edit;
    SetCancelEnabled(false);
    if (afterCancel) afterCancel();
    refreshNavigation();
}

bool requireCurrentRow(Form& form, Adodc& data) {
    if (data.recordset().hasCurrentRow()) return true;
    form.MsgBox(kNoCurrentRow, mb::OKOnly, "Attention");
    return false;
}

bool confirmDelete(Form& form, Adodc& data, const std::string& prompt) {
    if (!requireCurrentRow(form, data)) return false;
    if (form.MsgBox(prompt, mb::YesNo, "Deleting") != answer::Yes) return false;
    data.recordset().deleteCurrent();
    data.Refresh();
    return true;
}

SearchResult linearSearch(Form& form, Adodc& data, const std::string& field,
                          const std::string& prompt, const std::string& title, SearchKind kind,
                          const std::string& notFoundMessage) {
    std::string answer = form.InputBox(prompt, title);
    if (answer.empty()) return SearchResult::Cancelled;
    Recordset& rs = data.recordset();
    // A number search compares the answer as a double.
    const double wanted = kind == SearchKind::Number ? toDouble(Value(answer)) : 0;
    // Rows passed hold no pending change, so only the row left is written.
    const bool found = kind == SearchKind::Text
                           ? rs.findFirstText(field, answer)
                           : rs.findFirst(field, [wanted](const Value& v) {
                                 return static_cast<double>(toInt16(v)) == wanted;
                             });
    if (found) return SearchResult::Found;
    // The row left may have been stored on the way.
    form.MsgBoxAfterCommit(notFoundMessage);
    return SearchResult::NotFound;
}

void bindTable(Adodc& data, const std::string& table) { data.bindTable(kConnectionString, table); }

std::string companyTitle(Application& app) { return app.form("Form16").label("Label3").caption(); }

std::string documentDate(Application& app) { return app.form("Form1").label("Label13").caption(); }

}  // namespace mk
