// The invoice search logins: an access login whose action asks for an
// invoice number, lays its invoice window out for viewing, writes the user
// and the number into that window's labels and moves its invoice data
// control (Adodc2) to the first row of that number. Each is declared as
// data: the controls it names in its invoice window, which it lays out
// through InvoiceWindow::showForViewing (add puts the entry layout back).
// A search waits while that window adds or edits an invoice.
#pragma once

#include <string>
#include <vector>

#include "access/login.h"

namespace mk {

struct ControlName {
    const char* name;
    int index = -1;
};

struct SearchLoginSpec {
    const char* name;
    const char* right;
    const char* captionPrefix;
    bool titled;               // the prefix is followed by the company title line
    const char* invoiceWindow;
    const char* userLabel;
    const char* currentLabel;  // made visible
    const char* numberLabel;
    bool userBeforePrompt;
    // The view layout.
    std::vector<ControlName> hidden;
    std::vector<ControlName> flagsEnabled;
    std::vector<const char*> lineControls;  // shown for lines 0..31, at their design places
    std::vector<ControlName> shown;         // headings and further labels
};

class SearchLogin : public AccessLogin {
public:
    SearchLogin(Application& a, const SearchLoginSpec& entry);

protected:
    void logIn() override;

private:
    void showForViewing(Form& invoices);
    bool invoiceOpen();

    const SearchLoginSpec& spec_;
};

void registerSearchLogins(Application& app);

}  // namespace mk
