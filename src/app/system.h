// Program start: the data root's drives, the database file, the windows.
#pragma once

namespace mk {

class Application;
class Clock;
class Machine;

// Makes drives C and D and opens the database file, creating it with every
// table and starting row when it does not exist yet.
void prepareMachine(Machine& machine, const Clock& clock);

// Registers every window class of the system.
void registerWindows(Application& app);

// Shows the first window; unloading the main window ends the program.
void startProgram(Application& app);

}  // namespace mk
