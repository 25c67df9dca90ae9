// Until the window front end lands: opens the database file and lists its
// tables with their row counts.
#include <cstdio>

#include "app/system.h"
#include "data/schema.h"
#include "platform/clock.h"
#include "platform/machine.h"
#include "platform/recordset.h"

int main() {
    try {
        mk::SystemClock clock;
        mk::Machine machine(mk::Machine::defaultRoot());
        mk::prepareMachine(machine, clock);
        mk::Database& db = machine.database(mk::kDatabasePath);
        std::printf("%s\n", db.path().c_str());
        for (const std::string& t : db.tableNames()) {
            mk::Recordset rs(db, t);
            std::printf("  %-20s %ld rows\n", t.c_str(), rs.recordCount());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "makhzan: %s\n", e.what());
        return 1;
    }
    return 0;
}
