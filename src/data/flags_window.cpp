#include "data/flags_window.h"

#include "data/record_editing.h"

namespace mk {

Form54::Form54(Application& app) : Form(app, kName) {
    caption = "FLAGS";
    width = 3000;
    height = 1500;
    Adodc1 = addHidden<Adodc>("Adodc1");
    Text1 = add<TextBox>("Text1", -1, Geometry{120, 120, 1200, 315});
    Text1->bindTo(*Adodc1, "PRODUCT_BUY");
    Text1->spokenName = "PRODUCT_BUY";
}

void Form54::Form_Load() { bindTable(*Adodc1, "FLAGS"); }

}  // namespace mk
