// The expiry report: the main window's date_report menu asks for the period
// and shows the worker window Form55, whose load lists every item of every
// group expiring within the period into VALIDITY_DATE and opens the report.
#pragma once

#include "platform/form.h"

namespace mk {

class Application;

class Form55 : public Form {
public:
    static constexpr const char* kName = "Form55";
    explicit Form55(Application& a);
    void Form_Load() override;

    Adodc* Adodc1;  // qqq
    Adodc* Adodc2;  // VALIDITY_DATE
    Adodc* Adodc3;  // each item-group table in turn
    TextBox* Text1;
    TextBox* Text2;
    TextBox* Text3;
    TextBox* Text4;
    TextBox* Text5;
    TextBox* Text6;
    TextBox* Text7;
    Label* Label1;
    Label* Label2;
    Label* Label3;
    Label* Label4;
    Label* Label5;
    Timer* Timer1;
};

void registerExpiryWindows(Application& app);

// The date_report menu action of the main window.
void askExpiryPeriodAndShow(Application& app);

}  // namespace mk
