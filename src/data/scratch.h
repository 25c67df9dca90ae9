// The report scratch tables (PRODUCT_BUY, BUYER_DEALS, VALIDITY_DATE): a
// pre-clean by the launcher, then a worker run that replaces the rows of
// the last run with its own, counts them in FLAGS and opens the report.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/table_scan.h"

namespace mk {

enum class ScratchTable { ProductBuy, BuyerDeals, ValidityDate };

struct ScratchFields {
    const char* table;
    const char* flag;     // fresh flag in FLAGS
    const char* counter;  // row counter in FLAGS
};
const ScratchFields& scratchFields(ScratchTable t);

// ID of the placeholder row a run that found nothing leaves.
inline constexpr int16_t kPlaceholderId = 999;


// The hidden flags window's data control on FLAGS (loads Form54 hidden).
Adodc& flagsControl(Application& app);

// A worker window: the data control its run writes the scratch rows
// through, which a launcher pre-cleans.
class ScratchWorker {
public:
    virtual Adodc& scratchRows() = 0;

protected:
    ~ScratchWorker() = default;
};

// Cuts the table down to one row through the worker window's data control,
// unless its fresh flag is True, then clears the flag (committed at once).
void preClean(Application& app, ScratchTable t, Adodc& workerControl);

// A launcher: the pre-clean through the worker window's scratch rows, then
// the worker window shown. A worker still open from an earlier launch is
// closed first, so every launch runs once.
void launchWorker(Application& app, ScratchTable t, const std::string& workerForm);

// One worker run over the table its data control holds.
class ScratchRun {
public:
    // Marks every row the table holds now as left over from before.
    ScratchRun(Application& app, ScratchTable t, Adodc& table);

    // Appends one row with ID = the next run number; fill writes the rest.
    void append(const std::function<void(Recordset&)>& fill);
    // Appends, in one statement, one row per row of source whose textField
    // equals text (in table order), numbered on from the rows appended so
    // far; the copies fill the other fields.
    void appendWithText(const std::string& source, const std::string& textField,
                        const std::string& text, const std::vector<scan::FieldCopy>& copies);
    bool found() const { return count_ > 0; }
    int16_t count() const { return count_; }

    // Deletes the rows left over from before and writes the counter.
    void finish();
    // After finish: visits the fields of the run's rows, in order.
    void forEachRow(const std::vector<std::string>& fields,
                    const std::function<void(const std::vector<Value>&)>& visit);
    // After a run that found nothing: the placeholder row and counter 1.
    void placeholder();

private:
    std::string leftoverMark() const;
    std::string isLeftoverSql() const;
    void writeCounter(int16_t n);

    Application& app_;
    ScratchTable table_;
    Adodc& data_;
    int16_t count_ = 0;
};

}  // namespace mk
