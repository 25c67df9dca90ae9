// What a window asks of another window, by what it means rather than by
// the other's controls. The windows named here implement these interfaces;
// other windows reach them only through the functions below. Reaching a
// window loads it, unseen, when it is not loaded, as reading its controls
// always did.
#pragma once

#include <string>

#include "platform/application.h"

namespace mk {

// The main window (Form1).
class MainWindowLinks {
public:
    // The document date every new document takes (its date line).
    virtual std::string documentDate() const = 0;
    // The name of the item the item card shows.
    virtual std::string itemShown() const = 0;
    // Shown with the store uncovered and the item card's group chooser
    // focused, as a good store login leaves it.
    virtual void openStore() = 0;
    // The lists the day's work walks: the groups (qqq), the day's rows
    // (DAILY_TRADE) and the users (Admin), as the main window holds them.
    virtual Adodc& groupList() = 0;
    virtual Adodc& dayRows() = 0;
    virtual Adodc& users() = 0;
    // Says a line printed on the main window, or a message once the
    // running action has stored what it writes.
    virtual void printLine(const std::string& text) = 0;
    virtual void tellAfterCommit(const std::string& prompt, int style,
                                 const std::string& title) = 0;

protected:
    ~MainWindowLinks() = default;
};

// The start window (Form16).
class StartWindowLinks {
public:
    // The company title line that window captions end with.
    virtual std::string companyTitle() const = 0;

protected:
    ~StartWindowLinks() = default;
};

// The suppliers and customers windows (Form5, Form6).
class PartnerWindowLinks {
public:
    // The name in the partner's name box.
    virtual std::string partnerShown() const = 0;
    // The table the window shows the partners of.
    virtual std::string partnersTable() = 0;

protected:
    ~PartnerWindowLinks() = default;
};

MainWindowLinks& mainWindow(Application& app);
StartWindowLinks& startWindow(Application& app);
// "Form5" or "Form6".
PartnerWindowLinks& partnerWindow(Application& app, const std::string& name);

}  // namespace mk
