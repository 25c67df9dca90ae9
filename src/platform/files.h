// Drives, folders and file copies, named as the windows name them
// ("c:\INVENT.MDB", "d:\") and kept as folders under the data root.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mk {

class Machine;

// "<root>/D/backup" -> "D:\backup"; a drive root is "D:\".
std::string toWindowsPath(const Machine& machine, const std::filesystem::path& real);

// Folder and file joined with exactly one "\".
std::string joinWindowsPath(std::string_view folder, std::string_view file);

// Copies a file into a folder under its own name, replacing a file of that
// name. The copy is never half written: a database file that is open is
// copied consistently, and a copy over the open database file replaces its
// content safely. Fails with a runtime error.
void copyFileInto(Machine& machine, std::string_view sourceFile, std::string_view destFolder);

}  // namespace mk
