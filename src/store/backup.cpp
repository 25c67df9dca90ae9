#include "store/backup.h"

#include <filesystem>
#include <memory>

#include "data/schema.h"
#include "platform/application.h"
#include "platform/failure.h"
#include "platform/files.h"

namespace mk {

namespace {

namespace fs = std::filesystem;

const char* const kKeptSuffix = ".before-restore";
const char* const kBackupFailed = "تعذر عمل نسخة إحتياطية من ملف قاعدة البيانات على القرص D:/";
const char* const kNotRestored = "لم يتم الإسترجاع";
const char* const kLiveUnchanged = "ولم يتغير شيء فى البيانات الحالية";

// Why a file cannot replace the program's database ("" when it can): it
// must pass the whole start-up check, every table and column (a file of an
// earlier version is brought up to date) and a read of every page.
std::string candidateProblem(Machine& machine, const fs::path& file) {
    if (!isDatabaseFile(file)) return "not a database file";
    try {
        Database candidate(machine, file, false);
        if (const std::string damage = candidate.damage(); !damage.empty())
            return "PRAGMA quick_check: " + damage;
        return schemaProblem(candidate);
    } catch (const std::exception& e) {
        return failureDetail(e);
    }
}

// The file name part of a path, letter case kept.
std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void registerBackupWindows(Application& app) {
    app.registerForm<Form47>();
    app.registerForm<Form48>();
}

Form47::Form47(Application& a) : Form(a, kName) {
    caption = " إسترجاع قاعدة البيانات";
    width = 6480;
    height = 6240;
    // The lists sit inside the frame, placed from its top left corner.
    Frame2 = add<Frame>("Frame2", -1, Geometry{120, 120, 6120, 5400}, "أختر القرص  D:/");
    // Right to left: the drive over its folders, the files; the prompt over
    // both columns.
    const TwipGrid lists{.right = 5880, .top = Frame2->top + kFrameCaption + 420, .colStep = 2880,
                         .rowStep = 420, .width = 2760, .height = 315};
    Label1 = add<Label>("Label1", -1, lists.span(0, -1, 2),
                        "أختر ملف قاعدة البيانات  Invent.mdb    ");
    Label1->alignment = 1;
    Drive2 = add<DriveListBox>("Drive2", -1, lists.cell(0, 0));
    Dir2 = add<DirListBox>("Dir2", -1, lists.cell(0, 1, lists.width, 3360));
    File1 = add<FileListBox>("File1", -1, lists.cell(1, 0, lists.width, 3780));
    Command2 = add<CommandButton>("Command2", -1, Geometry{2040, 4920, 2040, 375}, "إسترجاع");
    for (Control* c : std::initializer_list<Control*>{Label1, Drive2, Dir2, File1, Command2})
        c->container = Frame2;

    Drive2->onChange = [this] { driveChanged(); };
    Dir2->onChange = [this] {
        File1->setPath(Dir2->path());
        File1->pattern = "*.mdb";
    };
    Command2->onClick = [this] { restore(); };
}

void Form47::driveChanged() {
    try {
        Dir2->setPath(Drive2->drive());
        lastGoodDrive_ = Drive2->drive();
    } catch (const std::exception&) {
        MsgBox("The drive does not exist");
        // Before any drive worked, back to the drive the folder list shows.
        const std::string back = lastGoodDrive_.empty() ? Dir2->path().substr(0, 2) : lastGoodDrive_;
        Drive2->setDrive(back);
    }
}

void Form47::restore() {
    Machine& machine = app().machine();
    auto refuse = [this](const std::string& why) {
        MsgBoxAfterCommit(std::string(kNotRestored) + ": " + why, mb::Critical);
    };
    auto logged = [&](const std::string& detail) {
        writeLog(machine.root(), "restore: " + detail);
    };
    if (File1->fileName->empty()) {
        refuse("لم تختر ملفا. اختر ملف قاعدة البيانات ثم اضغط إسترجاع");
        return;
    }
    const std::string source = joinWindowsPath(Dir2->path(), File1->fileName.get());
    const fs::path into = machine.mapPath(joinWindowsPath("c:\\", fileNameOf(source)));
    if (into != machine.mapPath(kDatabasePath)) {
        // Another name is only copied into the root of drive C.
        try {
            copyFileInto(machine, source, "c:\\");
        } catch (const std::exception& e) {
            logged(failureDetail(e));
            refuse("تعذر نسخ الملف " + source + " إلى القرص C. تأكد من وجود الملف ومن إمكان "
                   "الكتابة فى القرص C ثم أعد المحاولة");
            return;
        }
        MsgBoxAfterCommit("تم إسترجاع ملف قاعهدة البيانات", mb::Information);
        return;
    }
    for (Form* f : app().loadedForms())
        if (f->holdsUnsavedDocument()) {
            refuse("فى نافذة «" + f->caption.get() + "» مستند لم يحفظ بعد، " + kLiveUnchanged +
                   ". احفظه أو ألغه ثم أعد الإسترجاع");
            return;
        }
    const fs::path candidate = machine.mapPath(source);
    if (const std::string problem = candidateProblem(machine, candidate); !problem.empty()) {
        logged(candidate.string() + ": " + problem);
        refuse("الملف " + source + " ليس نسخة سليمة من قاعدة بيانات هذا البرنامج، " +
               kLiveUnchanged + ". اختر نسخة إحتياطية أخرى");
        return;
    }
    // The file replaced is kept beside it, for a restore made by mistake.
    Database& live = machine.database(kDatabasePath);
    const fs::path keptFile =
        live.path().parent_path() / (live.path().filename().string() + kKeptSuffix);
    const std::string kept = toWindowsPath(machine, keptFile);
    try {
        live.backupTo(keptFile);
    } catch (const std::exception& e) {
        logged(failureDetail(e));
        refuse("تعذر حفظ نسخة من البيانات الحالية قبل استبدالها، " + std::string(kLiveUnchanged) +
               ". أفرغ مساحة على القرص ثم أعد المحاولة");
        return;
    }
    try {
        // Over the open database file the content is replaced safely and
        // every open data control re-reads it; what brings it up to date is
        // committed here, so a failure of it can still put the kept copy back.
        live.restoreFrom(candidate);
        if (needsBringingUpToDate(live)) {
            bringUpToDate(live);
            live.commit();
        }
    } catch (const std::exception& e) {
        logged(failureDetail(e));
        live.rollback();
        try {
            live.restoreFrom(keptFile);
        } catch (const std::exception& again) {
            logged(failureDetail(again));
            refuse("تعذر إتمام الإسترجاع وتعذرت إعادة البيانات السابقة. البيانات السابقة محفوظة "
                   "باسم " + kept + "؛ أغلق البرنامج وضع هذا الملف مكان " + kDatabasePath);
            return;
        }
        refuse("تعذر إتمام الإسترجاع فأعيدت البيانات السابقة كما كانت (ونسخة منها محفوظة باسم " +
               kept + "). أفرغ مساحة على القرص ثم أعد المحاولة");
        return;
    }
    MsgBoxAfterCommit(std::string("تم إسترجاع ملف قاعهدة البيانات") + "\r\n" +
                          "الملف السابق محفوظ باسم " + kept,
                      mb::Information);
}

Form48::Form48(Application& a) : Form(a, kName) {
    caption = "عمل نسخة إحتياطية للمخزن";
    width = 7200;
    height = 2400;
    Label1 = add<Label>("Label1", -1, Geometry{240, 480, 6600, 630},
                        std::string(" تم عمل نسخة إحتياطية من قاعدة بيانات المخزن و حفظها "
                                    "على القرص ") +
                            "\"D:\\\"" + " ");
    Label1->alignment = 1;
    Label1->wordWrap = true;
    // It says the copy is made: shown once it is.
    Label1->visible = false;
}

void Form48::Form_Paint() { backup(); }

void Form48::backup() {
    try {
        copyFileInto(app().machine(), "c:\\INVENT.MDB", "d:\\");
    } catch (const std::exception& e) {
        writeLog(app().machine().root(), "backup: " + failureDetail(e));
        // A failed copy says so, and the day is not closed on it.
        Label1->setCaption(kBackupFailed);
        Label1->visible = true;
        MsgBox(kBackupFailed, mb::Critical);
        return;
    }
    Label1->visible = true;
    Print();
    MsgBox("م عمل نسخة إحتياطية من ملف قاعدة البيانات على القرص D:/", mb::Information);
    Print({"تم عمل نسخة إحتياطية على القرص D:/"});
    PrintEmptyLines(30000);
    app().show(app().form("Form44"));
}

}  // namespace mk
