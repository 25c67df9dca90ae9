#include "access/search_login.h"

#include <memory>

#include "platform/application.h"
#include "sales/invoice_window.h"

namespace mk {

namespace {

constexpr double kViewHeight = 9500;

const SearchLoginSpec kSearchLogins[] = {
    {"Form14",
     "sell-inv",
     "Form14",
     false,
     "Form3",
     "Label15",
     "Label10",
     "Label5",
     false,
     {{"Command2"}, {"Command1"}, {"Picture1"}},
     {},
     {"DataCombo1", "Text3", "Text4", "Text5", "Label2"},
     {{"Label8"}, {"Label11", 1}, {"Label1", 7}, {"Label1", 8}, {"Label1", 10}, {"Label7", 1}}},
    // Also shown by the issue voucher window: it searches the wholesale
    // invoices, never the vouchers.
    {"Form43",
     "sell-inv_group",
     " دخول مستخدمين ",
     true,
     "Form42",
     "Label13",
     "Label3",
     "Label5",
     false,
     {{"Command3"}, {"Frame1"}, {"Picture1"}},
     {{"Check4"}},
     {"DataCombo1", "Text3", "Text4", "Text5", "Label2"},
     {{"Label8"}, {"Label2", 32}, {"Label2", 33}, {"Label2", 34}, {"Label2", 35}, {"Label2", 36}}},
    {"Form45",
     "return_invo",
     " دخول مستخدمين ",
     true,
     "Form28",
     "Label9",
     "Label7",
     "Label5",
     false,
     {{"Command1"}, {"Picture1"}},
     {},
     {"DataCombo1", "Label2", "Text3", "Text4", "Text6"},
     {{"Label11", 1},
      {"Label1", 6},
      {"Label1", 7},
      {"Label1", 8},
      {"Label1", 10},
      {"Label1", 11},
      {"Label2", 32},
      {"Label2", 33},
      {"Label2", 34},
      {"Label2", 35},
      {"Label2", 36}}},
    {"Form15",
     "buy_inv",
     " دخول مستخدم ",
     true,
     "Form17",
     "Label14",
     "Label10",
     "Label5",
     true,
     {{"Command1"}, {"Frame1"}, {"Picture1"}},
     {{"Check2"}, {"Check3"}, {"Check4"}},
     {"DataCombo1", "Text3", "Text4", "Text5"},
     {{"Label2", 0}, {"Label11", 1}, {"Label1", 7}, {"Label1", 8}, {"Label1", 10}, {"Label7", 1}}},
};

}  // namespace

SearchLogin::SearchLogin(Application& a, const SearchLoginSpec& entry)
    : AccessLogin(a, entry.name, entry.right, "ليست لديك هذه الصلاحية.", entry.captionPrefix, true,
                  entry.titled),
      spec_(entry) {}

bool SearchLogin::invoiceOpen() {
    auto* invoices = dynamic_cast<InvoiceWindow*>(app().loadedForm(spec_.invoiceWindow));
    return invoices && invoices->documentOpen();
}

void SearchLogin::logIn() {
    if (!checkLogin()) return;
    const std::string user = Text1[0]->text();
    // Moving off an invoice being entered or edited would store it unposted.
    if (invoiceOpen()) {
        MsgBox(kSearchWhileOpen, mb::OKOnly, "Attention");
        return;
    }
    if (spec_.userBeforePrompt)
        app().form(spec_.invoiceWindow).label(spec_.userLabel).displayCaption(user);
    const std::string typed = InputBox("enter INVOICE NO. for search :", "Search by Invoice No.");
    if (typed.empty()) return;

    Form& invoices = app().form(spec_.invoiceWindow);
    showForViewing(invoices);
    invoices.label(spec_.userLabel).displayCaption(user);
    invoices.label(spec_.currentLabel).visible = true;
    invoices.label(spec_.numberLabel).displayCaption(typed);

    Recordset& rs = invoices.adodc("Adodc2").recordset();
    const long long before = rs.rowId();
    // Text that is no number names no invoice.
    const auto wanted = parseNumber(typed);
    if (!wanted || !rs.findFirstWhole("INVO_NO", *wanted, 32)) {
        // The window goes back to the invoice it showed (the first when it
        // showed none).
        if (before == 0 || !rs.moveToRow(before)) rs.moveFirst();
        MsgBox(" unable to find that item ");
    }
    Unload();
}

void SearchLogin::showForViewing(Form& invoices) {
    std::vector<Control*> hidden, shown;
    for (const ControlName& c : spec_.hidden)
        if (Control* control = invoices.findControl(c.name, c.index)) hidden.push_back(control);
    for (const char* name : spec_.lineControls)
        for (int i = 0; i < 32; ++i) shown.push_back(&invoices.control(name, i));
    for (const ControlName& c : spec_.shown) shown.push_back(&invoices.control(c.name, c.index));
    for (const ControlName& c : spec_.flagsEnabled) invoices.control(c.name, c.index).enabled = true;
    dynamic_cast<InvoiceWindow&>(invoices).showForViewing(kViewHeight, hidden, shown);
}

void registerSearchLogins(Application& app) {
    for (const SearchLoginSpec& s : kSearchLogins)
        app.registerForm(s.name, [&s](Application& a) { return std::make_unique<SearchLogin>(a, s); });
}

}  // namespace mk
