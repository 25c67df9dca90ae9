#include "data/record_editing.h"

#include "data/schema.h"
#include "data/window_links.h"

namespace mk {

namespace {

const char* const kNoCurrentRow =
    "لا يوجد سجل معروض فلم يتغير شيء، انتقل إلى سجل أو أضف سجلا ثم أعد المحاولة";
const char* const kNoteTitle = "ملحوظة";

}  // namespace

RecordEditing::RecordEditing(Form& form, Adodc& data, std::array<CommandButton*, 3> buttons,
                             RecordEditingTexts texts)
    : form_(form), data_(data), buttons_(buttons), texts_(std::move(texts)) {
    for (int i = 0; i < 3; ++i)
        if (CommandButton* b = buttons_[static_cast<size_t>(i)]) {
            b->onClick = [this, i] { click(i); };
        }
    form_.addFailureStep([this] { restoreDraft(); });
    form_.addUnsavedCheck([this] { return mode_ != EditMode::Browsing; });
}

void RecordEditing::click(int index) {
    // One row at a time: add while editing (or edit while adding, unless
    // the window's edit then saves the new row) would store the pending
    // row unchecked.
    if ((index == 0 && editing()) || (index == 2 && adding() && !texts_.editWhileAdding)) {
        form_.MsgBox(texts_.busy, mb::OKOnly, "Attention");
        return;
    }
    // Editing, and saving what was added or edited, need a row to act on.
    const bool needsRow = index == 2 || (index == 0 && adding());
    if (needsRow && data_.isOpen() && !requireCurrentRow(form_, data_)) return;
    const EditMode before = mode_;
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
    if (before == EditMode::Browsing && mode_ == EditMode::Adding && firstEntry &&
        form_.app().canTakeInput(*firstEntry))
        firstEntry->SetFocus();
}

void RecordEditing::enter(EditMode mode) {
    mode_ = mode;
    editSavesAdded_ = false;
    if (buttons_[0]) buttons_[0]->caption = mode == EditMode::Adding ? texts_.addSave : texts_.add;
    if (buttons_[2])
        buttons_[2]->caption = mode == EditMode::Editing ? texts_.editSave : texts_.edit;
}

void RecordEditing::editSaveWhileAdding() {
    if (!adding()) return;
    editSavesAdded_ = true;
    if (buttons_[2]) buttons_[2]->caption = texts_.editSave;
}

bool RecordEditing::requireBrowsing() {
    if (mode_ == EditMode::Browsing) return true;
    form_.MsgBox(texts_.busy, mb::OKOnly, "Attention");
    return false;
}

void RecordEditing::refreshNavigation() {
    data_.enabled = texts_.navigateWhileEntering || mode_ == EditMode::Browsing;
}

void RecordEditing::backToBrowsing() {
    enter(EditMode::Browsing);
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

void RecordEditing::standardAddSave() {
    if (!buttons_[0]) return;
    if (mode_ == EditMode::Browsing) {
        data_.recordset().addNew();
        if (addDefaults) addDefaults();
        setBoxesLocked(false);
        enter(EditMode::Adding);
        SetCancelEnabled(true);
    } else if (mode_ == EditMode::Adding) {
        if (!entriesFit()) return;
        guardWrites([this] { data_.recordset().update(); });
        enter(EditMode::Browsing);
        SetCancelEnabled(false);
        setBoxesLocked(true);
    }
}

void RecordEditing::standardEditSave() {
    if (!buttons_[2]) return;
    if (mode_ == EditMode::Browsing) {
        setBoxesLocked(false);
        enter(EditMode::Editing);
        SetCancelEnabled(true);
    } else if (mode_ == EditMode::Editing) {
        if (!entriesFit()) return;
        guardWrites([this] { data_.recordset().update(); });
        enter(EditMode::Browsing);
        SetCancelEnabled(false);
        setBoxesLocked(true);
    }
}

bool RecordEditing::entriesFit() { return mk::entriesFit(form_, data_); }

void RecordEditing::guardWrites(const std::function<void()>& writes) {
    failedDraft_.reset();
    Draft draft{.mode = mode_,
                .editSavesAdded = editSavesAdded_,
                .position = data_.isOpen() ? data_.recordset().absolutePosition() : 0};
    try {
        writes();
    } catch (...) {
        failedDraft_ = std::move(draft);
        throw;
    }
}

void RecordEditing::restoreDraft() {
    if (!failedDraft_) return;
    Draft d = std::move(*failedDraft_);
    failedDraft_.reset();
    if (!data_.isOpen()) return;
    Recordset& rs = data_.recordset();
    // The rollback re-read the table: a row added by the failed writes is
    // gone. The boxes are put back as they were by the application.
    if (d.mode == EditMode::Adding && !rs.isAdding()) {
        rs.addNew();
    } else if (d.mode != EditMode::Adding && rs.absolutePosition() != d.position) {
        rs.moveFirst();
        for (long k = 1; k < d.position && !rs.eof(); ++k) rs.moveNext();
    }
    enter(d.mode);
    if (d.editSavesAdded) editSaveWhileAdding();
    refreshNavigation();
}

void RecordEditing::CancelEdit() {
    if (form_.MsgBox(texts_.cancelPrompt, mb::YesNo | mb::Question, texts_.cancelTitle) !=
        answer::Yes)
        return;
    data_.Refresh();
    // An edit cancelled stays an edit unless the window says otherwise: its
    // next press commits the re-read row.
    if (mode_ == EditMode::Adding || texts_.cancelResetsEdit) enter(EditMode::Browsing);
    SetCancelEnabled(false);
    if (afterCancel) afterCancel();
    refreshNavigation();
}

bool entriesFit(Form& form, DataControl& data) {
    auto why = data.entryRefusal();
    if (!why) why = data.overwriteRefusal();
    if (!why) return true;
    form.MsgBox(*why, mb::OKOnly, kNoteTitle);
    return false;
}

bool requireCurrentRow(Form& form, Adodc& data) {
    if (data.recordset().hasCurrentRow()) return true;
    form.MsgBox(kNoCurrentRow, mb::OKOnly, kNoteTitle);
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
    // The search stores what was typed into the row on show as it moves.
    if (!entriesFit(form, data)) return SearchResult::Cancelled;
    std::string answer = form.InputBox(prompt, title);
    if (answer.empty()) return SearchResult::Cancelled;
    Recordset& rs = data.recordset();
    // A number search compares the answer as a double.
    const double wanted = kind == SearchKind::Number ? toDouble(Value(answer)) : 0;
    // Rows passed hold no pending change, so only the row left is written.
    const bool found = kind == SearchKind::Text
                           ? rs.findFirstText(field, answer)
                           : rs.findFirst(field, [wanted](const Value& v) {
                                 return toDouble(v) == wanted;
                             });
    if (found) return SearchResult::Found;
    // The row left may have been stored on the way.
    form.MsgBoxAfterCommit(notFoundMessage);
    return SearchResult::NotFound;
}

void bindTable(Adodc& data, const std::string& table) { data.bindTable(kConnectionString, table); }

std::string companyTitle(Application& app) { return startWindow(app).companyTitle(); }

std::string documentDate(Application& app) { return mainWindow(app).documentDate(); }

}  // namespace mk
