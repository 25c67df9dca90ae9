#include "accounts/cashbox_window.h"

#include "data/record_editing.h"
#include "platform/application.h"
#include "reports/opener.h"

namespace mk {

Form34::Form34(Application& a) : Form(a, kName) {
    caption = "الصندوق";
    width = 6240;
    height = 2700;
    Adodc1 = addHidden<Adodc>("Adodc1");
    // Right to left: the balance (caption, box) over the two voucher buttons.
    const std::vector<TwipGrid> balance =
        tableColumns({.right = 5880, .top = 360, .height = 315}, {2400, 3000}, 120);
    const TwipGrid buttons{
        .right = 5880, .top = 1080, .colStep = 3120, .width = 2400, .height = 375};
    Label1 = add<Label>("Label1", -1, balance[0].cell(0, 0), "المبلغ الحالى فى الصندوق");
    Label1->alignment = 1;
    Text1 = add<TextBox>("Text1", -1, balance[1].cell(0, 0));
    Text1->locked = true;
    Text1->alignment = 2;
    Text1->bindTo(*Adodc1, "MONEY");
    Command3 = add<CommandButton>("Command3", -1, buttons.cell(0, 0), "أذون إستلام");
    Command2 = add<CommandButton>("Command2", -1, buttons.cell(1, 0), "أذون الصرف");
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

double Form34::lastBalance() {
    Recordset& box = Adodc1->recordset();
    box.moveLast();
    return box.eof() ? 0.0 : toDouble(box.field("MONEY"));
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
