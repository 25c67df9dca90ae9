// Program start: the data root's drives, the database file, the windows.
#pragma once

namespace mk {

class Application;
class Clock;
class Dialogs;
class Machine;

// Makes drives C and D and opens the database file, creating it with every
// table and starting row when it does not exist yet; a file of an earlier
// version is brought up to date in one action. A file that is empty,
// foreign, of another shape or read-only fails with a runtime error that
// names it and says what is wrong; it is left as it was.
void prepareMachine(Machine& machine, const Clock& clock);

// The same, for the program's start: a file that cannot be used is named
// in a message box, and the result is false (the program stops).
bool prepareMachineOrSay(Machine& machine, const Clock& clock, Dialogs& dialogs);

// Registers every window class of the system.
void registerWindows(Application& app);

// Shows the first window; unloading the main window ends the program.
void startProgram(Application& app);

}  // namespace mk
