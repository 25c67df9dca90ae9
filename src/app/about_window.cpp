#include "app/about_window.h"

#include "data/record_editing.h"

namespace mk {

Form7::Form7(Application& a) : Form(a, kName) {
    caption = " بيانات عن برنامج ";
    width = 6240;
    height = 3720;
    Label1 = add<Label>("Label1", -1, Geometry{240, 240, 5760, 1920},
                        "مخزن و حسابات\n"
                        "برنامج لإدارة مخزن الأصناف بمجموعاتها و فواتير المبيعات و المرتجعات "
                        "و الواردات و العملاء و الموردين و الصندوق و المصاريف و العاملين.\n"
                        "مستخدم واحد و قاعدة بيانات واحدة.");
    Label1->wordWrap = true;
    Label1->alignment = 1;
    Command1 = add<CommandButton>("Command1", -1, Geometry{2280, 2400, 1680, 375}, "EXIT");
    Command1->onClick = [this] { Unload(); };
    MenuItem* file = addMenu("file", "ملف");
    addMenu("exit", "إنهاء", file)->onClick = [this] { Unload(); };
    addMenu("a", "", file);
}

void Form7::Form_Load() { caption = " بيانات عن برنامج " + companyTitle(app()); }

}  // namespace mk
