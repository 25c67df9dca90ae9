#include "accounts/cashbox_window.h"

#include "data/record_editing.h"
#include "platform/application.h"
#include "reports/opener.h"

namespace mk {

Form34::Form34(Application& a) : Form(a, kName) {
    caption = "الصندوق";
    width = 6240;
    height = 2700;
    Adodc1 = add<Adodc>("Adodc1", -1, Geometry{240, 1500, 2400, 375});
    Adodc1->visible = false;
    Label1 = add<Label>("Label1", -1, Geometry{3480, 360, 2400, 315}, "المبلغ الحالى فى الصندوق");
    Label1->alignment = 1;
    Text1 = add<TextBox>("Text1", -1, Geometry{360, 360, 3000, 315});
    Text1->locked = true;
    Text1->alignment = 2;
    Text1->bindTo(*Adodc1, "MONEY");
    Command3 = add<CommandButton>("Command3", -1, Geometry{3480, 1080, 2400, 375}, "أذون إستلام");
    Command2 = add<CommandButton>("Command2", -1, Geometry{360, 1080, 2400, 375}, "أذون الصرف");
    Command3->onClick = [this] { app().show(app().form("Form35")); };
    Command2->onClick = [this] { app().show(app().form("Form41")); };

    MenuItem* tools = addMenu("tools", "ادوات");
    addMenu("REPORT1", "تقرير بتعاملات الصندوق", tools)->onClick = [this] {
        openReport(app(), "DataReport8");
    };
    addMenu("EXITE", "إنهاء", tools)->onClick = [this] { Unload(); };
}

void Form34::Form_Load() {
    bindTable(*Adodc1, "BOX");
    caption = " صندوق " + companyTitle(app());
    Adodc1->recordset().moveLast();
}

void Form34::tablesChanged(const ChangedTables& tables) {
    if (!tableChanged(tables, "BOX")) return;
    // Postings only ever append to the ledger.
    Recordset& rs = Adodc1->recordset();
    rs.moveLast();
    rs.readAppended(rs.rowId());
    rs.moveLast();
}

}  // namespace mk
