// A clerk's day by the mouse and the keys alone, on the real windows: the
// program started as its main function starts it, and every step after
// that a click or a key; what the day stored is read back from the file
// through a connection of its own.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QComboBox>
#include <QTest>
#include <filesystem>
#include <string>

#include "qt_rig.h"
#include "real_input.h"

namespace mk::test {
namespace {

// A second connection to the program's file, read only.
class FileReader {
public:
    explicit FileReader(const std::filesystem::path& file) {
        sqlite3_open_v2(file.string().c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
    }
    ~FileReader() { sqlite3_close(db_); }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    // The first column of the first row, as text ("" when none) or a number.
    std::string text(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        std::string out;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            if (const unsigned char* t = sqlite3_column_text(st, 0)) out = reinterpret_cast<const char*>(t);
        sqlite3_finalize(st);
        return out;
    }
    double number(const std::string& sql) { return std::stod("0" + text(sql)); }

private:
    sqlite3* db_ = nullptr;
};

QComboBox* chooser(QtRig& rig, const char* form, const char* control, int index = -1) {
    return qobject_cast<QComboBox*>(rig.widget(form, control, index));
}

// Into a box with a click, its text chosen whole and typed over.
void typeInto(QWidget* box, const QString& text) {
    ASSERT_NE(box, nullptr);
    real::click(*box);
    real::key(Qt::Key_A, Qt::ControlModifier);
    real::type(text);
}

TEST(ClerksDay, StartLogInAddAGroupAndAnItemSellItAndSave) {
    QtRig rig;
    rig.db().exec("UPDATE DIM SET COMPANY_NAME='ACME', COMP=1, SECURITY=1");
    rig.db().exec("UPDATE Admin SET enter=1 WHERE UserID='529'");
    rig.db().exec("INSERT INTO Admin (UserID, Password, store) VALUES ('ali', 'secret1', 1)");
    real::AnswerBoxesByKeys boxes({Qt::Key_Return});
    launchProgram(rig);

    // The new day is started, then the store is opened by its login.
    ASSERT_NE(rig.widget("Form16", "Command2"), nullptr);
    real::click(*rig.widget("Form16", "Command2"));
    settle();
    qt::FormWindow* main = rig.window("Form1");
    ASSERT_TRUE(main && main->isVisible());
    ASSERT_TRUE(real::chooseMenu(*main->actionFor("store_functions")));
    settle();
    typeInto(rig.widget("Form20", "Text1", 0), "ali");
    typeInto(rig.widget("Form20", "Text1", 1), "secret1");
    ASSERT_TRUE(real::tabTo(*rig.widget("Form20", "Command1")));
    real::key(Qt::Key_Return);
    settle();
    ASSERT_EQ(rig.window("Form20"), nullptr) << boxes.seen().join('\n').toStdString();

    // A new group, named in the groups window.
    ASSERT_TRUE(real::chooseMenu(*main->actionFor("RENAME_MAIN")));
    settle();
    real::click(*rig.widget("Form49", "cmdaction", 0));
    settle();
    typeInto(rig.widget("Form49", "Text1"), "TOOLS");
    real::click(*rig.widget("Form49", "cmdaction", 0));
    settle();
    ASSERT_TRUE(real::chooseMenu(*rig.window("Form49")->actionFor("exit")));
    settle();

    // Its first item card, the group chosen with the mouse.
    QComboBox* groups = chooser(rig, "Form1", "DataCombo3");
    ASSERT_TRUE(groups && real::pickByClick(*groups, "TOOLS"));
    settle();
    real::click(*rig.widget("Form1", "cmdaction", 0));
    settle();
    typeInto(rig.widget("Form1", "Text6"), "hammer");
    typeInto(rig.widget("Form1", "Text3", 0), "20");
    typeInto(rig.widget("Form1", "Text7"), "15");
    typeInto(rig.widget("Form1", "Text10"), "9");
    real::click(*rig.widget("Form1", "cmdaction", 0));
    settle();

    // Sold on a retail invoice: the window by its shortcut, the group by
    // the mouse, the item by the keys, the quantity typed.
    real::key(Qt::Key_S, Qt::ControlModifier);
    settle();
    ASSERT_NE(rig.window("Form3"), nullptr);
    QComboBox* invoiceGroups = chooser(rig, "Form3", "DataCombo3");
    ASSERT_TRUE(invoiceGroups && real::pickByClick(*invoiceGroups, "TOOLS"));
    settle();
    real::click(*rig.widget("Form3", "cmdaction", 0));
    settle();
    QComboBox* item = chooser(rig, "Form3", "DataCombo1", 0);
    ASSERT_TRUE(item && real::pickByKeys(*item, "hammer", Qt::Key_Return, real::Open::AltDown));
    settle();
    real::key(Qt::Key_Tab);
    real::key(Qt::Key_A, Qt::ControlModifier);
    real::type("4");
    real::click(*rig.widget("Form3", "cmdaction", 0));
    settle(100);
    shoot(*rig.window("Form3"), "clerk-day-saved-invoice");
    // "Another invoice?" answered yes: the keys typed next go to the group.
    real::type("TOOLSX");
    settle();
    EXPECT_EQ(invoiceGroups->currentText(), QStringLiteral("TOOLSX"));
    real::key(Qt::Key_Backspace);
    settle();

    // What the day stored, read from the file.
    FileReader file(rig.root.path() / "C" / "INVENT.MDB");
    EXPECT_EQ(file.number("SELECT COUNT(*) FROM qqq WHERE Q='TOOLS'"), 1);
    EXPECT_EQ(file.number("SELECT ONSTOCK FROM TOOLS WHERE \"DESC\"='hammer'"), 16);
    EXPECT_EQ(file.number("SELECT UNITE_PRICE FROM TOOLS WHERE \"DESC\"='hammer'"), 15);
    const std::string invoice = "FROM SALES_INVOICE ORDER BY rowid DESC LIMIT 1";
    EXPECT_EQ(file.text("SELECT MED_NAME1 " + invoice), "hammer");
    EXPECT_EQ(file.number("SELECT QNTITY1 " + invoice), 4);
    EXPECT_EQ(file.number("SELECT \"EXPIRY_ DATE1\" " + invoice), 15);
    EXPECT_EQ(file.number("SELECT SUM1 " + invoice), 60);
    EXPECT_EQ(file.number("SELECT TOTAL_SUM " + invoice), 60);
    EXPECT_EQ(file.number("SELECT STATUS_SUB " + invoice), 1);
    EXPECT_EQ(file.number("SELECT MONEY FROM BOX ORDER BY rowid DESC LIMIT 1"), 60);
    // Every box the day showed was answered by its keys.
    for (const QString& seen : boxes.seen())
        EXPECT_FALSE(seen.startsWith("(not closed")) << boxes.seen().join('\n').toStdString();
    EXPECT_TRUE(boxes.seen().join('\n').contains(QStringLiteral("بقيمة 60")))
        << boxes.seen().join('\n').toStdString();
}

}  // namespace
}  // namespace mk::test
