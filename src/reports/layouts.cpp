#include "reports/opener.h"

namespace mk {

const std::vector<ReportLayout>& reportLayouts() {
    static const std::vector<ReportLayout> layouts;
    return layouts;
}

}  // namespace mk
