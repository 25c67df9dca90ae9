// The item movement views Form29 (sales), Form31 (returns) and Form33
// (incoming): small worker windows that list the invoice lines of the item
// shown on the main window, rebuild PRODUCT_BUY from them and open the item
// movement report. One behaviour, three configurations.
#pragma once

#include <array>

#include "data/scratch.h"
#include "platform/form.h"

namespace mk {

class Application;

struct MovementConfig {
    const char* invoiceTable;   // scanned by Adodc1
    int lastSlot;               // line slots 1..lastSlot
    const char* partnerField;   // the customer or supplier of an invoice
    const char* captionPrefix;  // followed by the item name and the title line
    const char* nameHeading;
    int closeAfterMs;  // Timer1
    // PRODUCT_BUY fields of Text2..Text6.
    std::array<const char*, 5> boxFields;
};

class MovementView : public Form, public ScratchWorker {
public:
    MovementView(Application& a, const char* name, const MovementConfig& config);
    void Form_Load() override;
    void Form_Paint() override;
    Adodc& scratchRows() override { return *Adodc2; }

    Adodc* Adodc1;  // the invoice table
    Adodc* Adodc2;  // PRODUCT_BUY
    TextBox* Text1;
    TextBox* Text2;
    TextBox* Text3;
    TextBox* Text4;
    TextBox* Text5;
    TextBox* Text6;
    Label* Label1;
    Label* Label2;
    Label* Label3;
    Label* Label4;
    Timer* Timer1;

private:
    void run();
    TextBox& boxFor(const char* field) const;

    const MovementConfig& config_;
    std::array<TextBox*, 5> carriers_{};  // Text2..Text6
};

class Form29 : public MovementView {
public:
    static constexpr const char* kName = "Form29";
    explicit Form29(Application& a);
};

class Form31 : public MovementView {
public:
    static constexpr const char* kName = "Form31";
    explicit Form31(Application& a);
};

class Form33 : public MovementView {
public:
    static constexpr const char* kName = "Form33";
    explicit Form33(Application& a);
};

void registerMovementWindows(Application& app);

}  // namespace mk
