// The invoice search logins: an access login whose action asks for an
// invoice number and has its invoice window show the first invoice of that
// number, laid out for viewing, with the user who searched
// (InvoiceWindow::viewInvoice). Each is declared as data: its right and
// caption and the window it searches; the view and the labels are that
// window's own (InvoiceConfig), so no control is named here. A search
// waits while that window adds or edits an invoice.
#pragma once

#include "access/login.h"

namespace mk {

struct SearchLoginEntry {
    const char* name;
    const char* right;
    const char* captionPrefix;
    bool titled;  // the prefix is followed by the company title line
    const char* invoiceWindow;
    // The user label is written as soon as the checks pass, before the
    // number is asked for.
    bool userBeforePrompt = false;
};

class SearchLogin : public AccessLogin {
public:
    SearchLogin(Application& a, const SearchLoginEntry& entry);

protected:
    void logIn() override;

private:
    bool invoiceOpen();

    const SearchLoginEntry& entry_;
};

void registerSearchLogins(Application& app);

}  // namespace mk
