// Program start: the data root's drives, the database file, the windows.
#pragma once

namespace mk {

class Application;
class Clock;
class Dialogs;
class Machine;

// How much of the file's check a start waits for: the whole of it, or all
// but its read of every page (PRAGMA quick_check), which then runs beside
// the first window while no write reaches the file (Database::checkBeside).
enum class FileCheck { Whole, Beside };

// Makes drives C and D and opens the database file, creating it with every
// table and starting row when it does not exist yet; a file of an earlier
// version is brought up to date in one action, once the whole check has
// passed. A file that is empty, foreign, of another shape, damaged or
// read-only fails with a runtime error, told in Arabic, that names it and
// says what is wrong and what to do; it is left as it was.
void prepareMachine(Machine& machine, const Clock& clock, FileCheck check = FileCheck::Whole);

// The program's start: claims the data root (one program works on it at a
// time), then prepares the machine with the file's check beside the first
// window. A data root in use or a file that cannot be used is told in a
// message box, and the result is false (the program stops, not having
// opened or changed the file).
bool prepareMachineOrSay(Machine& machine, const Clock& clock, Dialogs& dialogs);

// Where the check a start left running stands: Running; Passed; or Failed,
// once the user has been told the file cannot be used (the program then
// stops, having written nothing to it). With wait, it waits for the end.
enum class StartCheck { Running, Passed, Failed };
StartCheck followStartCheck(Machine& machine, Dialogs& dialogs, bool wait = false);

// Registers every window class of the system.
void registerWindows(Application& app);

// Shows the first window; unloading the main window ends the program.
void startProgram(Application& app);

}  // namespace mk
