#include "access/day_close.h"

#include "data/schema.h"
#include "data/window_links.h"
#include "platform/application.h"

namespace mk {

Form44::Form44(Application& a)
    : AccessLogin(a, kName, "close", "ليست لديك هذه الصلاحية.", " دخول مستخدمين ") {}

void Form44::unloadIfLoaded(const char* name) {
    if (Form* f = app().loadedForm(name)) app().unload(*f);
}

void Form44::logIn() {
    if (!checkLogin()) return;
    closeDay();
}

void Form44::giveUp() {
    unloadIfLoaded("Form48");
    Unload();
}

void Form44::closeDay() {
    MainWindowLinks& main = mainWindow(app());
    Adodc& daily = main.dayRows();
    Adodc& users = main.users();
    // Both tables as stored now, so no row another window added is missed.
    daily.Refresh();
    users.Refresh();

    // Without the reserved row the day could not be marked closed: refuse
    // before anything changes rather than close half the day.
    Recordset& admin = users.recordset();
    bool reserved = false;
    for (admin.moveFirst(); !admin.eof() && !reserved; admin.moveNext())
        reserved = toText(admin.field("UserID")) == kDayStateUser;
    if (!reserved)
        throw RuntimeError::told(err::NoCurrentRecord,
                                 "لم يغلق اليوم ولم يتغير شيء: جدول المستخدمين ليس به الصف \"" +
                                     std::string(kDayStateUser) +
                                     "\" الذى يعلم به اليوم مغلقا. أضف هذا الصف ثم أعد المحاولة");

    // The day's rows go in one statement, the day's control left past the
    // end as a walk deleting them leaves it. This window closes with the
    // action, so a list of them printed on it would never be seen.
    Recordset& day = daily.recordset();
    day.rewriteInSql([&] { app().machine().database(kDatabasePath).emptyTable(day.tableName()); });

    for (admin.moveFirst(); !admin.eof(); admin.moveNext()) {
        if (toText(admin.field("UserID")) == kDayStateUser) admin.setField("enter", true);
        admin.update();
    }

    // All of the above commits with this action, or none of it.
    unloadIfLoaded("Form1");
    unloadIfLoaded("Form48");
    Unload();
}

}  // namespace mk
