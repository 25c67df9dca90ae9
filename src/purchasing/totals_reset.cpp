#include "purchasing/totals_reset.h"

#include "data/record_editing.h"
#include "platform/application.h"

namespace mk {

Form22::Form22(Application& a) : Form(a, kName) {
    caption = "تصفير الإجماليات";
    width = 5640;
    height = 2280;
    Adodc1 = addHidden<Adodc>("Adodc1");
    // The question over both buttons, right to left.
    const TwipGrid rows{
        .right = 5280, .top = 360, .colStep = 2640, .rowStep = 600, .width = 2400, .height = 375};
    Label1 = add<Label>("Label1", -1, rows.cell(0, 0, 5040, 315),
                        "تصفير إجمالى الشراء و إجمالى البيع لكل الأصناف");
    Label1->alignment = 1;
    Command1 = add<CommandButton>("Command1", -1, rows.cell(0, 1), "تصفير");
    Command2 = add<CommandButton>("Command2", -1, rows.cell(1, 1), "انهاء");
    Command1->onClick = [this] { resetTotals(); };
    Command2->onClick = [this] { Unload(); };
}

void Form22::Form_Load() {
    bindTable(*Adodc1, "INVENTORY");
    caption = " تصفير الإجماليات " + companyTitle(app());
}

void Form22::resetTotals() {
    // It cannot be undone: ask first.
    if (MsgBox("سيتم تصفير إجماليات كل الأصناف، هل تريد المتابعة؟", mb::YesNo | mb::Question,
               "تصفير الإجماليات") != answer::Yes)
        return;
    // Rows other windows added since this one opened are reset too.
    Adodc1->Refresh();
    Recordset& rs = Adodc1->recordset();
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        rs.setField("TOTAL", 0);
        rs.setField("TOTAL-SELL", 0);
        rs.update();
    }
    rs.moveFirst();
    MsgBoxAfterCommit("تم تصفير الإجماليات", mb::Information);
}

}  // namespace mk
