// The purchase invoice window Form4: an older form of twelve lines over
// BUY_INVOICE with a discount percent per line, whose lines are added to
// the single store table INVENTORY (quantity, net and gross values). It
// moves no money. Nothing in the program opens it.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/form.h"

namespace mk {

class RecordEditing;

class Form4 : public Form {
public:
    static constexpr const char* kName = "Form4";
    static constexpr int kLines = 12;
    explicit Form4(Application& a);
    ~Form4() override;
    void Form_Load() override;

    Adodc* Adodc1;  // BUY_INVOICE
    Adodc* Adodc3;  // INVENTORY
    Adodc* Adodc4;  // SUPPLIER
    TextBox* Text1[4] = {};  // number, -, phone, date
    DataCombo* DataCombo2;   // the supplier, stored in SUPPLIER
    Label* Label12;          // total of the nets
    Label* Label4;           // total of the gross values
    Label* Label10;          // the last number
    CommandButton* cmdaction[3];
    CommandButton* Command1;  // "أجمع"

    struct Line {
        DataCombo* item;
        TextBox *quantity, *price, *discount, *gross, *net, *date;
    };
    std::array<Line, kLines> lines{};

private:
    struct Sums {
        std::array<double, kLines> gross{}, net{};
        double totalGross = 0, totalNet = 0;
    };

    void build();
    int32_t lastNumber();
    void setLocked(bool locked);
    void addOrSave();
    void editOrSave();
    bool commitChecked(bool excludeOwn);
    std::optional<Sums> readSums();
    void showSums(const Sums& s, bool store);
    void sum();
    void addToStock();
    void search(const char* field, const char* prompt, const char* title);
    bool entering();

    std::unique_ptr<RecordEditing> editing_;
    int32_t ownNumber_ = 0;  // the stored number of the row being edited
};

}  // namespace mk
