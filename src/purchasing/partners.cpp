#include "purchasing/partners.h"

#include "data/field_look.h"
#include "data/refresh.h"
#include "data/scratch.h"
#include "platform/application.h"
#include "reports/opener.h"

namespace mk {

namespace {

const PartnerTwin kSuppliers{
    .formName = "Form5",
    .table = "SUPPLIER",
    .nameField = "SALES_MAN",
    .captionBeforeLoad = "بيانات الموردين",
    .captionPrefix = " بيانات الموردين ل",
    .nameLabel = "اسم البائع",
    .phoneLabel = "التليون",
    .balanceLabelName = "Label3",
    .balanceLabel = "المبلغ الدائن",
    .noteLabelName = "Label2",
    .phoneDefault = "0",
    .faxDefault = "0",
    .searchItem = "SALES",
    .searchCaption = "أبحث بأسم المورد",
    .searchPrompt = "enter SUPPLIER NAME  for search :",
    .searchTitle = "Search by Sales Company Name ",
    .exitCaption = "إنهاء",
    .reportItem = "supplier",
    .reportCaption = "تقرير  الموردين",
    .reportName = "DATA_SUPPLIER",
    .dealingsForm = "Form46",
    .voucherButton = false,
    .navCaption = "السابق           الاحق",
};

const PartnerTwin kCustomers{
    .formName = "Form6",
    .table = "BUYER",
    .nameField = "BUYER",
    .captionBeforeLoad = "بيانات العملاء",
    .captionPrefix = " بيانات عملاء ",
    .nameLabel = "اسم العميل",
    .phoneLabel = "التليفون",
    .balanceLabelName = "Label2",
    .balanceLabel = "المبلغ المدين",
    .noteLabelName = "Label3",
    .phoneDefault = ".",
    .faxDefault = ".",
    .searchItem = "BUYER",
    .searchCaption = "بحث باسم المشترى",
    .searchPrompt = "enter BUYER NAME  for search :",
    .searchTitle = "Search by buyer name ",
    .exitCaption = "انهاء",
    .reportItem = "BUYER_R",
    .reportCaption = "تقرير العملاء",
    .reportName = "DataReport2",
    .dealingsForm = "Form40",
    .voucherButton = true,
    .navCaption = "السابق  الاحق",
};

// Fields in the record windows' look (data/field_look.h), light red buttons.
constexpr uint32_t kButtonColor = 0xFF8080;

// Right to left: the date and time of loading along the top; the card's
// labels in a column on the right, their boxes to the left of them, the
// editing buttons down the left edge; the dealings buttons over the
// navigation bar.
constexpr TwipGrid kTopLine{.right = 8160, .top = 240, .height = 315};
constexpr TwipGrid kCard{
    .right = 8160, .top = 720, .colStep = 1800, .rowStep = 420, .width = 3840, .height = 315};
constexpr double kLabelWidth = 1680, kNoteHeight = 900;
constexpr TwipGrid kButtons{
    .right = 2280, .top = 720, .rowStep = 480, .width = 2040, .height = 375};
constexpr TwipGrid kDealings{
    .right = 8160, .top = 3960, .colStep = 3120, .rowStep = 600, .width = 3000, .height = 375};
constexpr double kNavigationWidth = 7920;

}  // namespace

PartnerForm::PartnerForm(Application& a, const PartnerTwin& twin)
    : Form(a, twin.formName), twin_(twin) {
    caption = twin.captionBeforeLoad;
    width = 8520;
    height = 5940;

    auto fieldLabel = [this](const std::string& name, int index, int row, const std::string& text) {
        return asFieldCaption(add<Label>(name, index, kCard.cell(0, row, kLabelWidth), text));
    };

    // Date and time of loading, along the top.
    const std::vector<TwipGrid> top = tableColumns(kTopLine, {kLabelWidth, 1440, 1200, 1000}, 120);
    asFieldCaption(add<Label>("Label6", -1, top[0].cell(0, 0), "التاريخ"));
    Label7 = add<Label>("Label7", -1, top[1].cell(0, 0));
    asFieldCaption(add<Label>("Label8", -1, top[2].cell(0, 0), "الوقت"));
    Label9 = add<Label>("Label9", -1, top[3].cell(0, 0));

    Adodc1 = add<Adodc>("Adodc1", -1, kDealings.cell(0, 1, kNavigationWidth), twin.navCaption);

    const char* names[4] = {twin.nameLabel, twin.phoneLabel, "الفاكس", "العنوان"};
    const char* fields[4] = {twin.nameField, "PHONE", "FAX", "ADDRESS"};
    for (int i = 0; i < 4; ++i) {
        fieldLabel("Label1", i, i, names[i]);
        Text1[i] = add<TextBox>("Text1", i, kCard.cell(1, i));
        Text1[i]->bindTo(*Adodc1, fields[i]);
    }
    fieldLabel(twin.balanceLabelName, -1, 4, twin.balanceLabel);
    Text2 = add<TextBox>("Text2", -1, kCard.cell(1, 4));
    Text2->bindTo(*Adodc1, "MONEY");
    fieldLabel(twin.noteLabelName, -1, 5, "بيان");
    Text3 = add<TextBox>("Text3", -1, kCard.cell(1, 5, kCard.width, kNoteHeight));
    Text3->multiLine = true;
    Text3->bindTo(*Adodc1, "NOTE");
    for (TextBox* b : {Text1[0], Text1[1], Text1[2], Text1[3], Text2, Text3}) asFieldBox(b);

    const char* captions[3] = {"&add", "&cancel", "&edit"};
    for (int i = 0; i < 3; ++i)
        cmdaction[i] = add<CommandButton>("cmdaction", i, kButtons.cell(0, i), captions[i]);
    Command1 = add<CommandButton>("Command1", -1, kButtons.cell(0, 3), "Delete");
    for (CommandButton* b : {cmdaction[0], cmdaction[1], cmdaction[2], Command1}) {
        b->graphical = true;
        b->backColor = kButtonColor;
    }
    Command2 = add<CommandButton>("Command2", -1, kDealings.cell(0, 0), "حركة تعاملات الفواتير");
    if (twin.voucherButton)
        Command3 = add<CommandButton>("Command3", -1, kDealings.cell(1, 0), "حركة تعاملات الأذون");

    editing_ = std::make_unique<RecordEditing>(
        *this, *Adodc1, std::array<CommandButton*, 3>{cmdaction[0], cmdaction[1], cmdaction[2]});
    editing_->gatedBoxes = {Text1[0], Text1[1], Text1[2], Text1[3], Text2, Text3};
    editing_->firstEntry = Text1[0];
    editing_->addDefaults = [this] {
        Text1[0]->setText(".");
        Text1[1]->setText(twin_.phoneDefault);
        Text1[2]->setText(twin_.faxDefault);
        Text1[3]->setText(".");
        Text2->setText("0");
        Text3->setText(".");
    };
    editing_->setBoxesLocked(true);
    // A save shows the row as stored: a balance posted while another box
    // was typed into is kept (only the typed fields are written) and shown.
    // A refused save leaves what was typed.
    editing_->addSaveProcedure = [this] {
        const bool saving = editing_->adding();
        editing_->standardAddSave();
        if (saving && !editing_->adding()) rereadInPlace(*Adodc1);
    };
    editing_->editSaveProcedure = [this] {
        const bool saving = editing_->editing();
        editing_->standardEditSave();
        if (saving && !editing_->editing()) rereadInPlace(*Adodc1);
    };

    Command1->onClick = [this] { deleteDealer(); };
    Command2->onClick = [this] {
        launchWorker(app(), ScratchTable::BuyerDeals, twin_.dealingsForm);
    };
    if (Command3) Command3->onClick = [this] { app().show(app().form("Form39")); };

    MenuItem* file = addMenu("file", "ملف");
    addMenu(twin.searchItem, twin.searchCaption, file)->onClick = [this] { searchByName(); };
    addMenu("exit", twin.exitCaption, file)->onClick = [this] { Unload(); };
    MenuItem* report = addMenu("report", "تقرير");
    addMenu(twin.reportItem, twin.reportCaption, report)->onClick = [this] {
        openReport(app(), twin_.reportName);
    };
}

void PartnerForm::Form_Load() {
    bindTable(*Adodc1, twin_.table);
    caption = twin_.captionPrefix + companyTitle(app());
    const double now = app().clock().now();
    Label7->setCaption(formatShortDate(now));
    Label9->setCaption(formatTime(now));
}

void PartnerForm::tablesChanged(const ChangedTables& tables) {
    if (tableChanged(tables, twin_.table)) showStored(*Adodc1);
}

void PartnerForm::deleteDealer() {
    // Nothing is pending once a row went: the window is browsing again.
    if (confirmDelete(*this, *Adodc1, "Dealer will be deleted")) editing_->backToBrowsing();
}

void PartnerForm::searchByName() {
    Recordset& rs = Adodc1->recordset();
    const long shown = rs.absolutePosition();
    if (linearSearch(*this, *Adodc1, twin_.nameField, twin_.searchPrompt, twin_.searchTitle,
                     SearchKind::Text) != SearchResult::NotFound)
        return;
    // Not found: back on the row shown before, so delete and edit act on a
    // real row.
    rs.moveToPosition(shown);
}

Form5::Form5(Application& a) : PartnerForm(a, kSuppliers) {}

Form6::Form6(Application& a) : PartnerForm(a, kCustomers) {}

}  // namespace mk
