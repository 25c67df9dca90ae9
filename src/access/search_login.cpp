#include "access/search_login.h"

#include <memory>

#include "platform/application.h"
#include "invoices/invoice_window.h"

namespace mk {

namespace {

const SearchLoginEntry kSearchLogins[] = {
    {.name = "Form14",
     .right = "sell-inv",
     .captionPrefix = "Form14",
     .titled = false,
     .invoiceWindow = "Form3"},
    // Also shown by the issue voucher window: it searches the wholesale
    // invoices, never the vouchers.
    {.name = "Form43",
     .right = "sell-inv_group",
     .captionPrefix = " دخول مستخدمين ",
     .titled = true,
     .invoiceWindow = "Form42"},
    {.name = "Form45",
     .right = "return_invo",
     .captionPrefix = " دخول مستخدمين ",
     .titled = true,
     .invoiceWindow = "Form28"},
    {.name = "Form15",
     .right = "buy_inv",
     .captionPrefix = " دخول مستخدم ",
     .titled = true,
     .invoiceWindow = "Form17",
     .userBeforePrompt = true},
};

}  // namespace

SearchLogin::SearchLogin(Application& a, const SearchLoginEntry& entry)
    : AccessLogin(a, entry.name, entry.right, "ليست لديك هذه الصلاحية.", entry.captionPrefix, true,
                  entry.titled),
      entry_(entry) {}

bool SearchLogin::invoiceOpen() {
    auto* invoices = dynamic_cast<InvoiceWindow*>(app().loadedForm(entry_.invoiceWindow));
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
    // Reaching the window loads it, unseen, when it is not loaded.
    auto searched = [this]() -> InvoiceWindow& {
        return dynamic_cast<InvoiceWindow&>(app().form(entry_.invoiceWindow));
    };
    if (entry_.userBeforePrompt) searched().showSearcher(user);
    const std::string typed = InputBox("enter INVOICE NO. for search :", "Search by Invoice No.");
    if (typed.empty()) return;
    // Not found, the window goes back to the invoice it showed (the first
    // when it showed none).
    if (!searched().viewInvoice(user, typed)) MsgBox(" unable to find that item ");
    Unload();
}

void registerSearchLogins(Application& app) {
    for (const SearchLoginEntry& s : kSearchLogins)
        app.registerForm(s.name, [&s](Application& a) { return std::make_unique<SearchLogin>(a, s); });
}

}  // namespace mk
