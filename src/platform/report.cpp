#include "platform/report.h"

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string_view>

#include "platform/database.h"

namespace mk {

namespace {

// A4 in twips.
constexpr double kA4Short = 11906;
constexpr double kA4Long = 16838;
const std::string kPagesMark = "\x01P\x01";

void replaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
}

}  // namespace

unsigned rgbOf(ReportColor c) {
    switch (c) {
        case ReportColor::Blue: return 0x0000FF;
        case ReportColor::DarkBlue: return 0x000080;
        case ReportColor::Red: return 0xFF0000;
        case ReportColor::DarkGrey: return 0x404040;
        case ReportColor::Default: break;
    }
    return 0x000000;
}

ReportItem ReportItem::label(std::string text, double left, double width, double top,
                             double height, ReportColor color) {
    ReportItem i;
    i.kind = Kind::Label;
    i.text = std::move(text);
    i.left = left;
    i.width = width;
    i.top = top;
    i.height = height;
    i.color = color;
    return i;
}

ReportItem ReportItem::field(std::string name, double left, double width, double top,
                             double height, ReportColor color) {
    ReportItem i = label(std::move(name), left, width, top, height, color);
    i.kind = Kind::Field;
    return i;
}

ReportItem ReportItem::hline(double left, double width, double top) {
    ReportItem i;
    i.kind = Kind::HLine;
    i.left = left;
    i.width = width;
    i.top = top;
    i.height = 0;
    return i;
}

ReportItem ReportItem::vline(double left, double top, double height) {
    ReportItem i;
    i.kind = Kind::VLine;
    i.left = left;
    i.top = top;
    i.height = height;
    i.width = 0;
    return i;
}

std::string reportText(const Value& v) { return toText(v); }

namespace {

// The text a report prints for a stored value; a value its field cannot
// read prints as it is stored.
template <class Read, class Raw>
std::string cellText(Read read, Raw raw) {
    try {
        return reportText(read());
    } catch (const RuntimeError&) {
        return raw();
    }
}

// The rows of one table as they stood when the snapshot was taken, read as
// they are asked for. Before a row of the snapshot changes, its shown
// fields are kept as they were; rows added since are left out.
class TableSnapshot : public RowChangeListener {
public:
    TableSnapshot(Database& db, const TableInfo& info, std::vector<int> fields)
        : db_(&db), table_(info.name), fields_(std::move(fields)) {
        for (int f : fields_) types_.push_back(info.fields[static_cast<size_t>(f)].type);
        std::string columns;
        for (int f : fields_) columns += ", " + quoteName(info.fields[static_cast<size_t>(f)].name);
        const std::string from = " FROM " + quoteName(info.name);
        const std::string range = " WHERE rowid >= ?1 AND rowid <= ?2 ORDER BY rowid";
        selectIds_ = "SELECT rowid" + from + range;
        selectCells_ = "SELECT rowid" + columns + from + range;
        for (size_t c = 1; c <= fields_.size(); ++c)
            selectKept_ += (c == 1 ? "SELECT ?" : ", ?") + std::to_string(c);
        {
            auto st = db.prepare("SELECT count(*)" + from);
            st->step();
            count_ = static_cast<long>(st->columnInt(0));
        }
        {
            auto st = db.prepare("SELECT max(rowid)" + from);
            st->step();
            bound_ = st->columnIsNull(0) ? 0 : st->columnInt(0);
        }
        anchors_[0] = LLONG_MIN;
        openedInTransaction_ = db.inTransaction();
        db.addRowChangeListener(this, table_);
        // Without word of changes to come, the rows are read now.
        if (!Database::tellsRowChanges()) keepAll();
    }
    ~TableSnapshot() override { detach(); }
    TableSnapshot(const TableSnapshot&) = delete;
    TableSnapshot& operator=(const TableSnapshot&) = delete;

    long count() const { return count_; }
    size_t columns() const { return fields_.size(); }

    // The cells of rows [first, first + n), row after row; a row the table
    // no longer gives (its transaction rolled back) has empty cells.
    void read(long first, long n, std::vector<std::string>& out) {
        const size_t wanted = out.size() + static_cast<size_t>(std::max(0L, n)) * columns();
        if (n > 0 && whole_) {
            for (long i = first; i < first + n && i < static_cast<long>(keptRows_.size()); ++i)
                appendKept(static_cast<size_t>(i), out);
        } else if (n > 0 && db_ && columns() > 0) {
            // Pages read one after another (a report printed or written
            // whole) take the rows of many pages in one statement: the rows
            // a snapshot shows never change, so those read ahead stay good.
            const long have = static_cast<long>(ahead_.size() / columns());
            if (first < aheadFirst_ || first + n > aheadFirst_ + have) {
                const bool onward = first > lastFirst_ && first <= lastEnd_;
                ahead_.clear();
                aheadFirst_ = first;
                readLive(first, onward ? std::max(n, kReadAhead) : n, ahead_);
            }
            const long skip = first - aheadFirst_;
            const long width = static_cast<long>(columns());
            const long got = std::min(n, static_cast<long>(ahead_.size()) / width - skip);
            if (got > 0)
                out.insert(out.end(), ahead_.begin() + skip * width,
                           ahead_.begin() + (skip + got) * width);
        }
        if (n > 0) {
            lastFirst_ = first;
            lastEnd_ = first + n;
        }
        out.resize(wanted);
    }

    void rowWillChange(sqlite3* h, int op, long long oldRowid, long long newRowid) override {
        if (whole_) return;
        auto noteAdded = [this](long long rowid) {
            if (rowid > bound_ || keptAt(rowid) >= 0) return;
            auto f = std::lower_bound(foreign_.begin(), foreign_.end(), rowid);
            if (f == foreign_.end() || *f != rowid) foreign_.insert(f, rowid);
        };
        if (op == SQLITE_INSERT) return noteAdded(newRowid);
        if (oldRowid <= bound_ && keptAt(oldRowid) < 0 && !isForeign(oldRowid)) keepOld(h, oldRowid);
        if (op == SQLITE_UPDATE && newRowid != oldRowid) noteAdded(newRowid);
    }
    // Rows written by the transaction the snapshot was taken in go with it.
    void rollingBack() override {
        if (openedInTransaction_) keepAll();
    }
    void replacing() override { keepAll(); }
    void committed() override { openedInTransaction_ = false; }
    void closing() override {
        db_ = nullptr;  // what was not read yet prints empty
    }

private:
    static constexpr long kReadAhead = 1000;

    // Rows [first, first + n) read through the connection (fewer at the end).
    void readLive(long first, long n, std::vector<std::string>& out) {
        auto anchor = std::prev(anchors_.upper_bound(first));
        long long from = anchor->second;
        if (anchor->first < first) {
            long skip = first - anchor->first;
            long long at = LLONG_MIN;
            walk(from, false, [&](long long rowid, long, Statement*) {
                if (skip-- > 0) return true;
                at = rowid;
                return false;
            });
            from = at;
            if (at != LLONG_MIN) anchors_[first] = at;
        }
        if (from == LLONG_MIN && first != 0) return;
        long got = 0;
        walk(from, true, [&](long long rowid, long kept, Statement* st) {
            if (got == n) {
                anchors_[first + n] = rowid;
                return false;
            }
            if (kept >= 0) appendKept(static_cast<size_t>(kept), out);
            else appendLive(*st, 1, out);
            ++got;
            return true;
        });
    }

    void detach() {
        if (db_) db_->removeRowChangeListener(this, table_);
        db_ = nullptr;
    }

    bool isForeign(long long rowid) const {
        return std::binary_search(foreign_.begin(), foreign_.end(), rowid);
    }
    long keptAt(long long rowid) const {
        auto it = std::lower_bound(keptRows_.begin(), keptRows_.end(), rowid,
                                   [](const Kept& k, long long r) { return k.rowid < r; });
        return it != keptRows_.end() && it->rowid == rowid ? static_cast<long>(it - keptRows_.begin())
                                                            : -1;
    }

    // Calls take(rowid, kept index or -1, statement on the row) for every
    // row of the snapshot from row number `from` on, in order, until it
    // returns false. Kept rows stand for the live row of their number.
    template <class Take>
    void walk(long long from, bool cells, Take take) {
        auto st = db_->prepare(cells ? selectCells_ : selectIds_);
        st->bindInt(1, from);
        st->bindInt(2, bound_);
        size_t k = static_cast<size_t>(
            std::lower_bound(keptRows_.begin(), keptRows_.end(), from,
                             [](const Kept& kk, long long r) { return kk.rowid < r; }) -
            keptRows_.begin());
        bool live = st->step();
        for (;;) {
            const long long liveRow = live ? st->columnInt(0) : LLONG_MAX;
            const long long keptRow = k < keptRows_.size() ? keptRows_[k].rowid : LLONG_MAX;
            if (!live && k >= keptRows_.size()) return;
            if (keptRow <= liveRow) {
                if (!take(keptRow, static_cast<long>(k), nullptr)) return;
                ++k;
                if (keptRow == liveRow) live = st->step();
                continue;
            }
            if (!isForeign(liveRow) && !take(liveRow, -1L, st.get())) return;
            live = st->step();
        }
    }

    // Kept rows hold each cell as it was stored: a tag, then the number
    // or the bytes; they print through the same reading as live rows.
    static void pack(std::string& out, sqlite3_value* v) {
        auto varint = [&](unsigned long long n) {
            do {
                out += static_cast<char>((n & 0x7F) | (n > 0x7F ? 0x80 : 0));
                n >>= 7;
            } while (n);
        };
        const int type = v ? sqlite3_value_type(v) : SQLITE_NULL;
        out += static_cast<char>(type);
        if (type == SQLITE_INTEGER) {
            const long long i = sqlite3_value_int64(v);
            varint((static_cast<unsigned long long>(i) << 1) ^ static_cast<unsigned long long>(i >> 63));
        } else if (type == SQLITE_FLOAT) {
            const double d = sqlite3_value_double(v);
            out.append(reinterpret_cast<const char*>(&d), sizeof d);
        } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
            const void* p = type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(v))
                                                : sqlite3_value_blob(v);
            const auto n = static_cast<size_t>(sqlite3_value_bytes(v));
            varint(n);
            if (n) out.append(static_cast<const char*>(p), n);
        }
    }
    void appendKept(size_t k, std::vector<std::string>& out) {
        if (!db_) {
            out.resize(out.size() + columns());
            return;
        }
        auto st = db_->prepare(selectKept_);
        sqlite3_stmt* s = st->raw();
        const char* at = kept_.data() + keptRows_[k].start;
        auto varint = [&] {
            unsigned long long n = 0;
            for (int shift = 0;; shift += 7) {
                const auto byte = static_cast<unsigned char>(*at++);
                n |= static_cast<unsigned long long>(byte & 0x7F) << shift;
                if (!(byte & 0x80)) return n;
            }
        };
        for (int c = 1; c <= static_cast<int>(columns()); ++c) {
            const int type = *at++;
            if (type == SQLITE_INTEGER) {
                const unsigned long long z = varint();
                sqlite3_bind_int64(s, c, static_cast<long long>((z >> 1) ^ (~(z & 1) + 1)));
            } else if (type == SQLITE_FLOAT) {
                double d = 0;
                std::memcpy(&d, at, sizeof d);
                at += sizeof d;
                sqlite3_bind_double(s, c, d);
            } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
                const auto n = static_cast<int>(varint());
                if (type == SQLITE_TEXT) sqlite3_bind_text(s, c, at, n, SQLITE_TRANSIENT);
                else sqlite3_bind_blob(s, c, at, n, SQLITE_TRANSIENT);
                at += n;
            } else {
                sqlite3_bind_null(s, c);
            }
        }
        st->step();
        appendLive(*st, 0, out);
    }
    void appendLive(Statement& st, int first, std::vector<std::string>& out) const {
        for (size_t c = 0; c < columns(); ++c) {
            const int i = static_cast<int>(c) + first;
            // A text field's cell reads as its text, whatever it holds.
            if (types_[c] == FieldType::Text || types_[c] == FieldType::Memo)
                out.push_back(st.columnText(i));
            else
                out.push_back(cellText([&] { return st.column(i, types_[c]); },
                                       [&] { return st.columnText(i); }));
        }
    }
    void insertKept(long long rowid, size_t start) {
        const Kept k{rowid, start, static_cast<uint32_t>(kept_.size() - start)};
        if (keptRows_.empty() || keptRows_.back().rowid < rowid) {
            keptRows_.push_back(k);
            return;
        }
        auto it = std::lower_bound(keptRows_.begin(), keptRows_.end(), rowid,
                                   [](const Kept& kk, long long r) { return kk.rowid < r; });
        keptRows_.insert(it, k);
    }

    // The row as it stands before the change, as the snapshot shows it.
    void keepOld([[maybe_unused]] sqlite3* h, long long rowid) {
        const size_t start = kept_.size();
#ifdef MK_PREUPDATE_HOOK
        const int count = sqlite3_preupdate_count(h);
        for (size_t c = 0; c < columns(); ++c) {
            sqlite3_value* v = nullptr;
            if (fields_[c] >= count || sqlite3_preupdate_old(h, fields_[c], &v) != SQLITE_OK) v = nullptr;
            pack(kept_, v);
        }
#else
        for (size_t c = 0; c < columns(); ++c) pack(kept_, nullptr);
#endif
        insertKept(rowid, start);
    }

    // Reads every row of the snapshot not kept yet; from then on the table
    // is not read again.
    void keepAll() {
        if (whole_ || !db_) return;
        std::string before;
        before.swap(kept_);
        std::vector<Kept> beforeRows;
        beforeRows.swap(keptRows_);
        {
            auto st = db_->prepare(selectCells_);
            st->bindInt(1, LLONG_MIN);
            st->bindInt(2, bound_);
            size_t k = 0;
            auto keepBefore = [&](size_t i) {
                const size_t start = kept_.size();
                kept_.append(before, beforeRows[i].start, beforeRows[i].size);
                insertKept(beforeRows[i].rowid, start);
            };
            while (st->step()) {
                const long long rowid = st->columnInt(0);
                while (k < beforeRows.size() && beforeRows[k].rowid < rowid) keepBefore(k++);
                if (k < beforeRows.size() && beforeRows[k].rowid == rowid) {
                    keepBefore(k++);
                    continue;
                }
                if (isForeign(rowid)) continue;
                const size_t start = kept_.size();
                for (int c = 1; c <= static_cast<int>(columns()); ++c)
                    pack(kept_, sqlite3_column_value(st->raw(), c));
                insertKept(rowid, start);
            }
            while (k < beforeRows.size()) keepBefore(k++);
        }
        whole_ = true;
        foreign_.clear();
        foreign_.shrink_to_fit();
        // The table is no longer watched, but kept rows are still read
        // through the connection while it is open.
        if (db_) db_->removeRowChangeListener(this, table_);
    }

    struct Kept {
        long long rowid;
        size_t start;  // in kept_
        uint32_t size;
    };

    Database* db_;
    std::string table_;
    std::vector<int> fields_;  // table field index of each column
    std::vector<FieldType> types_;
    std::string selectIds_, selectCells_, selectKept_;
    long count_ = 0;
    long long bound_ = 0;             // the highest row number when taken
    std::vector<long long> foreign_;  // row numbers up to bound_ added since (sorted)
    std::vector<Kept> keptRows_;      // rows kept as they were (sorted)
    std::string kept_;                // their cells
    bool whole_ = false;  // every row is kept
    bool openedInTransaction_ = false;
    std::map<long, long long> anchors_;  // where a row of the snapshot is: index -> row number
    std::vector<std::string> ahead_;     // cells of the rows from aheadFirst_ on
    long aheadFirst_ = 0;
    long lastFirst_ = -1, lastEnd_ = -1;  // the rows asked for last
};

// The heading a report is known by: the largest label of its report header.
std::string titleOf(const ReportLayout& layout) {
    const ReportItem* best = nullptr;
    auto size = [&](const ReportItem& it) {
        return it.fontSize > 0 ? it.fontSize : layout.reportHeader.fontSize;
    };
    for (const ReportItem& it : layout.reportHeader.items)
        if (it.kind == ReportItem::Kind::Label && it.text.find('%') == std::string::npos &&
            (!best || size(it) > size(*best)))
            best = &it;
    return best ? best->text : layout.caption;
}

bool showsFields(const ReportBand& band) {
    return std::any_of(band.items.begin(), band.items.end(),
                       [](const ReportItem& it) { return it.kind == ReportItem::Kind::Field; });
}

}  // namespace

struct RenderedPages::Plan {
    ReportLayout layout;
    std::string shortDate, longDate, total;
    std::unique_ptr<TableSnapshot> rows;
    std::map<const ReportItem*, size_t> columnOf;
    std::vector<size_t> detailColumns;  // the detail's fields, left to right

    // Pagination, from the number of rows: pages of detail rows (the first
    // page holds firstRows, the others otherRows), then the report footer,
    // on a page of its own when it does not fit under the last row.
    double footerTop = 0, firstTop = 0, otherTop = 0, reportFooterTop = 0;
    long count = 0, firstRows = 0, otherRows = 0;
    size_t detailPages = 1;
    bool footerOwnPage = false;

    size_t pages() const { return detailPages + (footerOwnPage ? 1 : 0); }
    long firstRowOf(size_t page) const {
        return page == 0 ? 0 : firstRows + static_cast<long>(page - 1) * otherRows;
    }
    long rowsOn(size_t page) const {
        if (page >= detailPages) return 0;
        return std::min(count - firstRowOf(page), page == 0 ? firstRows : otherRows);
    }
    // How many of `remaining` rows a page whose details start at y holds:
    // at least one, then while the next fits above the page footer.
    long rowsFitting(double y, long remaining) const {
        long n = 0;
        while (n < remaining) {
            if (y + layout.detail.height > footerTop && n > 0) break;
            y += layout.detail.height;
            ++n;
        }
        return n;
    }
    void paginate(double pageHeight);
    void layOut(size_t index, RenderedPage& page);
};

void RenderedPages::Plan::paginate(double pageHeight) {
    const double m = layout.margin;
    footerTop = pageHeight - m - layout.pageFooter.height;
    firstTop = m;
    if (layout.reportHeader.height > 0) firstTop += layout.reportHeader.height;
    if (layout.pageHeader.height > 0) firstTop += layout.pageHeader.height;
    otherTop = m;
    if (layout.pageHeader.height > 0) otherTop += layout.pageHeader.height;
    count = rows->count();
    firstRows = rowsFitting(firstTop, count);
    otherRows = count > firstRows ? rowsFitting(otherTop, count - firstRows) : 0;
    detailPages = count > firstRows
                      ? 1 + static_cast<size_t>((count - firstRows + otherRows - 1) / otherRows)
                      : 1;
    const size_t last = detailPages - 1;
    double y = last == 0 ? firstTop : otherTop;
    for (long i = 0; i < rowsOn(last); ++i) y += layout.detail.height;
    reportFooterTop = y;
    if (layout.reportFooter.height > 0 && y + layout.reportFooter.height > footerTop) {
        footerOwnPage = true;
        reportFooterTop = otherTop;
    }
}

void RenderedPages::Plan::layOut(size_t index, RenderedPage& page) {
    const double m = layout.margin;
    const std::string pageNo = std::to_string(index + 1);
    // The rows the page shows; a page footer shows the row that opens the
    // next page, as the rows are placed one after another.
    const long first = index < detailPages ? firstRowOf(index) : -1;
    const long shown = rowsOn(index);
    const long next = index + 1 < detailPages ? firstRowOf(index + 1) : -1;
    std::vector<std::string> cells;
    if (first >= 0 && count > 0)
        rows->read(first, shown + (next >= 0 && showsFields(layout.pageFooter) ? 1 : 0), cells);
    auto place = [&](const ReportBand& band, double top, long row) {
        for (const ReportItem& it : band.items) {
            double x = m + it.left, yy = top + it.top;
            switch (it.kind) {
                case ReportItem::Kind::HLine:
                    page.lines.push_back({x, yy, x + it.width, yy});
                    break;
                case ReportItem::Kind::VLine:
                    page.lines.push_back({x, yy, x, yy + it.height});
                    break;
                case ReportItem::Kind::Label:
                case ReportItem::Kind::Field: {
                    RenderedText t;
                    t.x = x;
                    t.y = yy;
                    t.width = it.width;
                    t.height = it.height;
                    t.fontSize = it.fontSize > 0     ? it.fontSize
                                 : band.fontSize > 0 ? band.fontSize
                                                     : layout.fontSize;
                    t.bold = it.bold || band.bold;
                    t.color = it.color;
                    if (it.kind == ReportItem::Kind::Field) {
                        // With no row at hand a field shows nothing.
                        if (row >= 0)
                            t.text = cells[static_cast<size_t>(row - first) * rows->columns() +
                                           columnOf.at(&it)];
                        t.fromField = true;
                    } else {
                        t.text = it.text;
                        replaceAll(t.text, "%d", shortDate);
                        replaceAll(t.text, "%D", longDate);
                        replaceAll(t.text, "%p", pageNo);
                        replaceAll(t.text, "%P", kPagesMark);
                        replaceAll(t.text, kPagesMark, total);
                    }
                    page.texts.push_back(std::move(t));
                    break;
                }
            }
        }
    };
    const bool detailPage = index < detailPages;
    const long headerRow = detailPage && count > 0 ? first : -1;
    double y = m;
    if (index == 0 && layout.reportHeader.height > 0) {
        place(layout.reportHeader, y, headerRow);
        y += layout.reportHeader.height;
    }
    if (layout.pageHeader.height > 0) {
        place(layout.pageHeader, y, headerRow);
        y += layout.pageHeader.height;
    }
    for (long r = first; r >= 0 && r < first + shown; ++r) {
        if (layout.detail.height > 0) place(layout.detail, y, r);
        y += layout.detail.height;
    }
    if (layout.reportFooter.height > 0 && index + 1 == pages())
        place(layout.reportFooter, reportFooterTop, -1);
    if (layout.pageFooter.height > 0) place(layout.pageFooter, footerTop, next);
}

RenderedPages::RenderedPages(std::shared_ptr<Plan> plan) : plan_(std::move(plan)) {}

size_t RenderedPages::size() const { return plan_ ? plan_->pages() : held_->byHand.size(); }

const RenderedPage& RenderedPages::operator[](size_t i) const {
    if (!plan_) return *held_->byHand[i];
    auto& recent = held_->recent;
    auto it = std::find_if(recent.begin(), recent.end(), [i](const auto& p) { return p.first == i; });
    if (it == recent.end()) {
        auto page = std::make_unique<RenderedPage>();
        plan_->layOut(i, *page);
        if (recent.size() >= kKeptPages) recent.erase(recent.begin());
        recent.emplace_back(i, std::move(page));
    } else if (it + 1 != recent.end()) {
        std::rotate(it, it + 1, recent.end());  // the newest last
    }
    return *recent.back().second;
}

const RenderedPage& RenderedPages::at(size_t i) const {
    if (i >= size()) throw std::out_of_range("no such report page");
    return (*this)[i];
}

size_t RenderedPages::laidOutCount() const {
    return plan_ ? held_->recent.size() : held_->byHand.size();
}

void RenderedPages::push_back(RenderedPage page) {
    held_->byHand.push_back(std::make_unique<RenderedPage>(std::move(page)));
}

size_t ReportRows::size() const { return plan_ ? static_cast<size_t>(plan_->count) : 0; }

ReportRows::Row ReportRows::operator[](size_t i) const {
    std::vector<std::string> cells;
    plan_->rows->read(static_cast<long>(i), 1, cells);
    Row row;
    for (size_t c : plan_->detailColumns) row.push_back(cells[c]);
    return row;
}

std::vector<ReportRows::Row> ReportRows::toVector() const {
    std::vector<Row> out;
    for (size_t i = 0; i < size(); ++i) out.push_back((*this)[i]);
    return out;
}

RenderedReport renderReport(const ReportLayout& source, Database& db, double now) {
    auto plan = std::make_shared<RenderedPages::Plan>();
    plan->layout = source;
    const ReportLayout& layout = plan->layout;

    // Only the fields shown are read.
    const TableInfo& info = db.tableInfo(layout.table);
    std::vector<int> shown;  // table field index of each column read
    for (const ReportBand* b : {&layout.reportHeader, &layout.pageHeader, &layout.detail,
                                &layout.pageFooter, &layout.reportFooter})
        for (const ReportItem& it : b->items) {
            if (it.kind != ReportItem::Kind::Field) continue;
            const int f = info.fieldIndex(it.text);
            if (f < 0)
                throw RuntimeError(err::FieldNotFound, "The report " + layout.name +
                                                           " shows the field '" + it.text +
                                                           "', which the table " + info.name +
                                                           " does not have.");
            auto at = std::find(shown.begin(), shown.end(), f);
            plan->columnOf[&it] = static_cast<size_t>(at - shown.begin());
            if (at == shown.end()) shown.push_back(f);
        }
    std::vector<const ReportItem*> fields;
    for (const ReportItem& it : layout.detail.items)
        if (it.kind == ReportItem::Kind::Field) fields.push_back(&it);
    std::stable_sort(fields.begin(), fields.end(),
                     [](const ReportItem* a, const ReportItem* b) { return a->left < b->left; });
    for (const ReportItem* f : fields) plan->detailColumns.push_back(plan->columnOf.at(f));
    plan->rows = std::make_unique<TableSnapshot>(db, info, std::move(shown));

    RenderedReport out;
    out.name = layout.name;
    out.caption = layout.caption;
    out.title = titleOf(layout);
    out.fontName = layout.fontName;
    for (const ReportItem* f : fields) out.columns.push_back(f->text);
    // A report a little wider than a portrait page may reach a short way
    // into the right margin rather than turn the page.
    constexpr double kMarginSlack = 180;
    out.landscape = layout.width + 2 * layout.margin > kA4Short + kMarginSlack;
    out.pageWidth = out.landscape ? kA4Long : kA4Short;
    out.pageHeight = out.landscape ? kA4Short : kA4Long;
    plan->shortDate = formatShortDate(now);
    plan->longDate = formatLongDate(now);
    plan->paginate(out.pageHeight);
    plan->total = std::to_string(plan->pages());
    out.pages = RenderedPages(plan);
    out.rows = ReportRows(plan);
    return out;
}

}  // namespace mk
