// The suppliers window Form5 (SUPPLIER) and the customers window Form6
// (BUYER): twins on one data form, differing only in their texts, table and
// the windows they open.
#pragma once

#include <memory>
#include <string>

#include "data/record_editing.h"
#include "data/window_links.h"
#include "platform/form.h"

namespace mk {

struct PartnerTwin {
    const char* formName;
    const char* table;
    const char* nameField;
    const char* captionBeforeLoad;
    const char* captionPrefix;
    const char* nameLabel;
    const char* phoneLabel;
    const char* balanceLabelName;  // "Label3" on Form5, "Label2" on Form6
    const char* balanceLabel;
    const char* noteLabelName;
    const char* phoneDefault;
    const char* faxDefault;
    const char* searchItem;
    const char* searchCaption;
    const char* searchPrompt;
    const char* searchTitle;
    const char* exitCaption;
    const char* reportItem;
    const char* reportCaption;
    const char* reportName;
    const char* dealingsForm;
    bool voucherButton;  // Command3, customers only
    const char* navCaption;
};

class PartnerForm : public Form, public PartnerWindowLinks {
public:
    PartnerForm(Application& a, const PartnerTwin& twin);
    void Form_Load() override;
    // Shows balances other windows posted, unless a typed change is held.
    void tablesChanged(const ChangedTables& tables) override;
    // What other windows ask of it (data/window_links.h).
    std::string partnerShown() const override { return Text1[0]->text(); }
    std::string partnersTable() override { return Adodc1->recordset().tableName(); }

    Adodc* Adodc1;
    TextBox* Text1[4];
    TextBox* Text2;
    TextBox* Text3;
    Label* Label7;
    Label* Label9;
    CommandButton* cmdaction[3];
    CommandButton* Command1;
    CommandButton* Command2;
    CommandButton* Command3 = nullptr;

    const PartnerTwin& twin() const { return twin_; }

private:
    void deleteDealer();
    void searchByName();

    const PartnerTwin& twin_;
    std::unique_ptr<RecordEditing> editing_;
};

class Form5 : public PartnerForm {
public:
    static constexpr const char* kName = "Form5";
    explicit Form5(Application& a);
};

class Form6 : public PartnerForm {
public:
    static constexpr const char* kName = "Form6";
    explicit Form6(Application& a);
};

}  // namespace mk
