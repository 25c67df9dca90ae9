// The report opener every window that prints calls, and the layouts.
#pragma once

#include <string>
#include <vector>

#include "platform/report.h"

namespace mk {

class Application;

// Opens one report by name: a fresh connection on the database file, the
// rows of its table as they are now, its preview shown (one per report).
// Fails when the report, its table or a field is missing.
void openReport(Application& app, const std::string& reportName);

// The report layouts, declared as data.
const std::vector<ReportLayout>& reportLayouts();
const ReportLayout* findReportLayout(const std::string& name);

}  // namespace mk
