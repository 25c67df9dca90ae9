#include "reports/opener.h"

#include "platform/application.h"

namespace mk {

const ReportLayout* findReportLayout(const std::string& name) {
    for (const ReportLayout& l : reportLayouts())
        if (l.name == name) return &l;
    return nullptr;
}

void openReport(Application& app, const std::string& reportName) {
    // The report connection keeps its own spelling of the file's path.
    const std::string connection =
        std::string("Provider=Microsoft.Jet.oledb.4.0;Data Source =") + "C:" + "\\INVENT.mdb";
    const ReportLayout* layout = findReportLayout(reportName);
    if (!layout)
        throw RuntimeError(err::WindowNotAvailable,
                           "The report " + reportName + " is not available.");
    Database& db = app.machine().database(dataSourceOf(connection));
    app.showReport(renderReport(*layout, db, app.clock().now()));
}

}  // namespace mk
