#include "data/window_links.h"

namespace mk {

namespace {

template <class Links>
Links& links(Application& app, const std::string& name) {
    auto* found = dynamic_cast<Links*>(&app.form(name));
    if (!found) throw RuntimeError(err::WindowNotAvailable, "'" + name + "' offers no such links.");
    return *found;
}

}  // namespace

MainWindowLinks& mainWindow(Application& app) { return links<MainWindowLinks>(app, "Form1"); }

StartWindowLinks& startWindow(Application& app) { return links<StartWindowLinks>(app, "Form16"); }

PartnerWindowLinks& partnerWindow(Application& app, const std::string& name) {
    return links<PartnerWindowLinks>(app, name);
}

}  // namespace mk
