// The main window: the document date, the clock, the credits line, the five
// totals, the keyboard-and-mouse lock, the menus that open every other
// window, the cover panel and the item card.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/window_links.h"
#include "platform/form.h"

namespace mk {

class ItemCard;
class MainTotals;

class Form1 : public Form, public MainWindowLinks {
public:
    static constexpr const char* kName = "Form1";
    explicit Form1(Application& a);
    ~Form1() override;
    void Form_Load() override;
    // The money totals, the group list and the item card show what other
    // windows posted.
    void tablesChanged(const ChangedTables& tables) override;

    // What other windows ask of it (data/window_links.h).
    std::string documentDate() const override { return Label13->caption(); }
    std::string itemShown() const override;
    void openStore() override;
    Adodc& groupList() override { return *Adodc5; }
    Adodc& dayRows() override { return *Adodc6; }
    Adodc& users() override { return *Adodc7; }
    void printLine(const std::string& text) override { Print({text}); }
    void tellAfterCommit(const std::string& prompt, int style, const std::string& title) override {
        MsgBoxAfterCommit(prompt, style, title);
    }

    // The fixed credits line that scrolls in Label19.
    static const char* const kCredits;

    Adodc* Adodc2;  // DIM
    Adodc* Adodc3;  // SALES_INVOICE
    Adodc* Adodc5;  // qqq
    Adodc* Adodc6;  // DAILY_TRADE
    Adodc* Adodc7;  // Admin
    Adodc* Adodc9;  // VALIDITY_DATE
    TextBox* Text11;
    TextBox* Text12;
    Label* Label9;   // the time
    Label* Label11;
    Label* Label13;  // the document date
    Label* Label19;  // the credits marquee
    Label* Label23[3];
    Label* Label25[3];
    Label* Label24;
    Label* Label26;
    Label* Label21;
    Label* Label20;
    Timer* Timer1;  // unlock
    Timer* Timer2;  // marquee
    Timer* Timer3;  // clock
    PictureBox* Picture2;
    std::unique_ptr<ItemCard> card;

private:
    void buildMenus();
    void computeTotals();
    void showStockTotals();
    // The cover panel off the store, the group chooser focused.
    void uncoverStore();
    void showWindow(const char* name);
    // The permissions switch DIM.SECURITY counts as off only when False.
    bool switchOff();
    void Timer2_Timer();

    std::unique_ptr<MainTotals> totals_;
    std::u32string credits_;
    int16_t marqueeLength_ = 0;
};

}  // namespace mk
