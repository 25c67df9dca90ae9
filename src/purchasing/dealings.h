// The dealings views: the customer view Form40 (wholesale sales invoices)
// and the supplier view Form46 (incoming invoices) list the invoices of the
// partner shown on the customers or suppliers window, rebuild BUYER_DEALS
// from them and open the dealings report. One behaviour, two configurations.
#pragma once

#include "data/scratch.h"
#include "platform/form.h"

namespace mk {

class Application;

struct DealingsConfig {
    const char* partnerWindow;  // whose partner on show the view lists
    const char* invoiceTable;
    const char* captionPrefix;
    bool showLastInvoice;  // Text3..Text6 visible
    double headingTop;
    int closeAfterMs;  // 0: stays open
};

class DealingsView : public Form, public ScratchWorker {
public:
    DealingsView(Application& a, const char* name, const DealingsConfig& config);
    void Form_Load() override;
    void Form_Paint() override;
    Adodc& scratchRows() override { return *Adodc2; }

    Adodc* Adodc1;  // the invoice table
    Adodc* Adodc2;  // BUYER_DEALS
    Label* Label5;
    Label* Label1;
    Label* Label2;
    Label* Label3;
    TextBox* Text1;
    TextBox* Text2;
    TextBox* Text3;
    TextBox* Text4;
    TextBox* Text5;
    TextBox* Text6;
    Timer* Timer1 = nullptr;

private:
    void run();

    const DealingsConfig& config_;
};

class Form40 : public DealingsView {
public:
    static constexpr const char* kName = "Form40";
    explicit Form40(Application& a);
};

class Form46 : public DealingsView {
public:
    static constexpr const char* kName = "Form46";
    explicit Form46(Application& a);
};

void registerDealingsWindows(Application& app);

}  // namespace mk
