// How a failure is told: the message the user reads, always in the
// windows' language and free of the database's or the system's own words,
// and the technical line the program's log gets.
#pragma once

#include <exception>
#include <filesystem>
#include <string>

namespace mk {

// What the user reads of a failure: what did not happen, why where that
// helps, and what the user can do.
std::string failureMessage(const std::exception& e);

// The failure as the log keeps it: its number, description and detail.
std::string failureDetail(const std::exception& e);

// The program's log under a data root.
std::filesystem::path logFile(const std::filesystem::path& root);

// Adds a line, with the time, to the log under the data root and writes
// it to standard error. Never fails.
void writeLog(const std::filesystem::path& root, const std::string& line);

}  // namespace mk
