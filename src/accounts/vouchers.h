// The receipt voucher window Form35 (REVEIVED_MONEY: cash from a customer
// into the cash box, off the customer's debt) and the payment voucher
// window Form41 (MONEY_OUT: cash out of the cash box). One window, two
// configurations. A voucher is saved like any record and posted once,
// through the money service (ledger/money_posting.h).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ledger/money_posting.h"
#include "data/record_editing.h"
#include "platform/form.h"

namespace mk {

struct VoucherConfig {
    const char* formName;
    const char* table;
    bool receipt;  // a customer chooser on BUYER, and the debt lowered at posting
    const char* captionPrefix;
    const char* numberLabel;
    const char* amountLabel;
    const char* dateLabel;
    const char* partyLabel;
    const char* lastNumberLabel;
    const char* postCaption;
    const char* postedMessage;
    const char* searchItem;
    const char* searchCaption;
    const char* exitItem;
    const char* searchPrompt;
    const char* searchTitle;
    const char* searchLine;
    CashFlow flow;
    const char* referenceField;
};

class VoucherWindow : public Form {
public:
    VoucherWindow(Application& a, const VoucherConfig& config);
    void Form_Load() override;
    // The last number follows what its table holds (after a restore).
    void tablesChanged(const ChangedTables& tables) override;

    Adodc* Adodc1;            // the voucher table
    Adodc* Adodc2 = nullptr;  // BUYER, receipts only
    Adodc* Adodc3;            // BOX
    TextBox* Text1;           // INVO_NO
    TextBox* Text2;           // MONEY
    TextBox* Text3;           // DATES
    TextBox* Text4;           // NOTE
    TextBox* Text6 = nullptr;         // WHO_GET, payments
    DataCombo* DataCombo1 = nullptr;  // BUYER, receipts
    Label* Label6;  // the last voucher number
    Label* Label7;
    Label* Label8;  // the searched number
    Label* Label9;
    CommandButton* cmdaction[3];
    CommandButton* Command2;  // post

    const VoucherConfig& config() const { return config_; }

private:
    void addOrSave();
    void post();
    void search();
    void cancel();
    // Why the voucher in the boxes may not be stored, if it may not.
    std::optional<std::string> saveRefusal();
    // Why the stored voucher on show may not be posted, if it may not.
    std::optional<std::string> postRefusal();
    // The posting of the voucher as stored (adding: as it will be stored);
    // nullopt when it cannot be made (told why).
    std::optional<PaymentPlan> planPosting(bool adding);
    void showLastNumber();
    void backToBrowsing();
    std::string partyText() const;

    const VoucherConfig& config_;
    std::unique_ptr<RecordEditing> editing_;
};

class Form35 : public VoucherWindow {
public:
    static constexpr const char* kName = "Form35";
    explicit Form35(Application& a);
};

class Form41 : public VoucherWindow {
public:
    static constexpr const char* kName = "Form41";
    explicit Form41(Application& a);
};

}  // namespace mk
