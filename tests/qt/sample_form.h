// A sample window with a control of every kind, laid out right to left.
#pragma once

#include "data/record_editing.h"
#include "platform/application.h"

namespace mk::test {

class Sample : public Form {
public:
    static constexpr const char* kName = "Sample";
    explicit Sample(Application& a) : Form(a, kName) {
        caption = "نموذج تجريبي";
        width = 9000;
        height = 6600;  // room at the foot for printed lines
        const char* captions[] = {"الأسم", "التليفون", "كلمة السر"};
        for (int i = 0; i < 3; ++i) {
            Text1[i] = add<TextBox>("Text1", i, Geometry{240, 240.0 + 420 * i, 3000, 315});
            add<Label>("Label2", i, Geometry{3360, 240.0 + 420 * i, 1200, 315}, captions[i]);
        }
        Text1[1]->locked = true;
        Text1[1]->setText("0123");
        Text1[2]->passwordChar = "*";
        Text2 = add<TextBox>("Text2", -1, Geometry{240, 1560, 4320, 700});
        Text2->multiLine = true;
        Command1 = add<CommandButton>("Command1", -1, Geometry{240, 2400, 1200, 375}, "&حفظ");
        Command1->onClick = [this] {
            ++clicks;
            Text1[0]->setText("تم الحفظ");
        };
        Command2 = add<CommandButton>("Command2", -1, Geometry{1560, 2400, 1200, 375}, "مخفي");
        Command2->visible = false;
        Command3 = add<CommandButton>("Command3", -1, Geometry{2880, 2400, 1200, 375}, "معطل");
        Command3->enabled = false;
        Command4 = add<CommandButton>("Command4", -1, Geometry{240, 2880, 1200, 375}, "سؤال");
        Command4->onClick = [this] {
            answer = MsgBox("هل تريد الحذف؟", mb::YesNo | mb::Question, "Deleting");
            typed = InputBox("أدخل المبلغ :", "", "5");
        };
        Check1 = add<CheckBox>("Check1", -1, Geometry{1560, 2880, 1500, 315}, "م&فعل");
        Frame1 = add<Frame>("Frame1", -1, Geometry{4800, 240, 3900, 1600}, "طريقة الدفع");
        const char* options[] = {"كاش", "آجل"};
        for (int i = 0; i < 2; ++i) {
            Option1[i] = add<OptionButton>("Option1", i, Geometry{4920, 600.0 + 420 * i, 1500, 315}, options[i]);
            Option1[i]->container = Frame1;
        }
        Combo1 = add<ComboBox>("Combo1", -1, Geometry{4800, 2000, 2000, 315});
        Combo1->items = {"أول", "ثانى"};
        List1 = add<ListBox>("List1", -1, Geometry{4800, 2400, 2000, 900});
        List1->items = {"a", "b", "c"};
        DataCombo1 = add<DataCombo>("DataCombo1", -1, Geometry{240, 3360, 3000, 315});
        add<Label>("Label3", -1, Geometry{3360, 3360, 1200, 315}, "المشترى");
        Adodc1 = add<Adodc>("Adodc1", -1, Geometry{240, 5300, 4000, 375}, "تصفح");
        DataCombo1->rowSource = Adodc1;
        DataCombo1->listField = "BUYER";
        DataList1 = add<DataList>("DataList1", -1, Geometry{7000, 2000, 1700, 1300});
        DataList1->rowSource = Adodc1;
        DataList1->listField = "BUYER";
        Picture1 = add<PictureBox>("Picture1", -1, Geometry{240, 3840, 2000, 900});
        Label4 = add<Label>("Label4", -1, Geometry{360, 3960, 1600, 315}, "داخل الصورة");
        Label4->container = Picture1;
        Drive1 = add<DriveListBox>("Drive1", -1, Geometry{2400, 3840, 2000, 315});
        Dir1 = add<DirListBox>("Dir1", -1, Geometry{4560, 3840, 2000, 900});
        File1 = add<FileListBox>("File1", -1, Geometry{6720, 3840, 2000, 900});
        Timer1 = add<Timer>("Timer1", -1, 1000, true);
        Timer1->onTimer = [this] { Label5->setCaption(std::to_string(++ticks)); };
        Label5 = add<Label>("Label5", -1, Geometry{4560, 5300, 1200, 315}, "0");
        add<LineShape>("Line1", -1, 240.0, 5000.0, 8700.0, 5000.0);
        auto* file = addMenu("file_menu", "م&لف");
        addMenu("save", "&حفظ", file, "Ctrl+S")->onClick = [this] { ++saves; };
        addMenu("exit", "خروج", file)->onClick = [this] { Unload(); };
    }
    void Form_Load() override {
        bindTable(*Adodc1, "BUYER");
        Print({"العدد", zone, 12});
    }

    TextBox* Text1[3];
    TextBox* Text2;
    CommandButton *Command1, *Command2, *Command3, *Command4;
    CheckBox* Check1;
    Frame* Frame1;
    OptionButton* Option1[2];
    ComboBox* Combo1;
    ListBox* List1;
    DataCombo* DataCombo1;
    DataList* DataList1;
    Adodc* Adodc1;
    PictureBox* Picture1;
    Label *Label4, *Label5;
    DriveListBox* Drive1;
    DirListBox* Dir1;
    FileListBox* File1;
    Timer* Timer1;
    int clicks = 0, saves = 0, ticks = 0, answer = 0;
    std::string typed = "unset";
};

}  // namespace mk::test
