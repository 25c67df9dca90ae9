// The layers of docs/architecture.md, held to by the source itself: what
// each folder of src/ includes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace mk {
namespace {

namespace fs = std::filesystem;

// The project headers and the <Q...> headers a file includes.
struct Includes {
    std::vector<std::string> project;  // "ledger/invoice.h"
    bool qt = false;
};

Includes includesOf(const fs::path& file) {
    Includes out;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("#include", 0) != 0) continue;
        const size_t quote = line.find('"');
        if (quote != std::string::npos)
            out.project.push_back(line.substr(quote + 1, line.find('"', quote + 1) - quote - 1));
        else if (line.find("<Q") != std::string::npos) out.qt = true;
    }
    return out;
}

std::string folderOf(const std::string& header) { return header.substr(0, header.find('/')); }

// Whether a file of `from` may include a header of `to`.
bool mayInclude(const std::string& from, const std::string& header) {
    const std::string to = folderOf(header);
    if (from == to || to == "platform") {
        // The ledger stands on the records alone, never the window runtime.
        static const std::set<std::string> runtime = {
            "platform/application.h", "platform/form.h",         "platform/controls.h",
            "platform/datacontrol.h", "platform/dialogs.h",      "platform/report.h",
            "platform/window_state.h", "platform/twip_grid.h",   "platform/shown.h",
            "platform/machine.h",     "platform/clock.h",        "platform/files.h"};
        return from != "ledger" || !runtime.count(header);
    }
    if (from == "platform") return false;
    if (from == "ledger") return false;
    if (to == "ledger") return true;
    if (from == "qt") return to == "app";
    if (from == "app") return to != "qt";
    if (to == "data" || to == "reports") return true;
    if (from == "data" || from == "reports") return false;
    if (to == "invoices") return from != "invoices";
    return false;  // a feature folder, or the top
}

TEST(Layers, EachFolderIncludesOnlyTheLayersBelowItAndNoFeatureIncludesAnother) {
    const fs::path src = MAKHZAN_SOURCE_DIR;
    std::vector<std::string> wrong;
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const fs::path& file = entry.path();
        if (file.extension() != ".h" && file.extension() != ".cpp") continue;
        const std::string from = fs::relative(file, src).begin()->string();
        if (from == file.filename()) continue;  // no folder
        ++files;
        const Includes inc = includesOf(file);
        const std::string name = fs::relative(file, src).string();
        if (inc.qt && from != "qt") wrong.push_back(name + " includes Qt");
        for (const std::string& header : inc.project)
            if (header.find('/') != std::string::npos && !mayInclude(from, header))
                wrong.push_back(name + " includes " + header);
    }
    EXPECT_GT(files, 100);
    EXPECT_EQ(wrong, std::vector<std::string>{});
}

}  // namespace
}  // namespace mk
