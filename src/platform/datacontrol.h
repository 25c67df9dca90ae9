// The data control: one connection text, one table, one recordset, and the
// controls bound to its fields.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/recordset.h"

namespace mk {

class Machine;
class DataControl;

// A control that shows one field of a data control's current row. What is
// typed into it (or written by code as a change) goes into the field when
// the row is committed or the data control moves off it.
class BoundControl {
public:
    virtual ~BoundControl();
    virtual void showBoundValue(const Value& v) = 0;  // display only, no change
    virtual bool boundChanged() const = 0;
    virtual Value boundValue() const = 0;
    virtual void clearBoundChange() = 0;

    DataControl* dataSource() const { return source_; }
    const std::string& dataField() const { return field_; }
    // How a refusal of what was entered names the control; its field when
    // it says nothing better.
    virtual std::string entryName() const { return field_; }
    // Whether what is entered may hold line breaks and tabs.
    virtual bool takesLineBreaks() const { return false; }
    // Told when it is bound to another data control, or to none.
    virtual void sourceChanged() {}

protected:
    // Tells its data control that what it holds was changed (typed, or
    // written by code as a change).
    void tellChange();

private:
    friend class DataControl;
    DataControl* source_ = nullptr;
    std::string field_;
};

class DataControl : public RecordsetListener {
public:
    explicit DataControl(Machine& machine);
    ~DataControl() override;
    DataControl(const DataControl&) = delete;
    DataControl& operator=(const DataControl&) = delete;

    int CursorLocation = 2;
    std::string ConnectionString;
    int CommandType = 8;
    std::string RecordSource;

    // Opens (or re-opens) RecordSource through ConnectionString: the whole
    // table, first row current. The previous table is closed first.
    // The rows are read when first needed, so a control that nothing reads
    // from never holds its table.
    void Refresh();
    // Re-opens RecordSource standing past its last row, where a walk to the
    // end leaves a control; the rows are read only when it moves.
    void RefreshAtEnd();
    // The five steps every window uses to open a table.
    void bindTable(const std::string& connectionString, const std::string& table);
    // The same, standing past the last row (RefreshAtEnd).
    void bindTableAtEnd(const std::string& connectionString, const std::string& table);

    bool isOpen() const { return rs_ != nullptr; }
    Recordset& recordset();
    void close();  // drops pending changes

    void bind(BoundControl& c, const std::string& field);
    void unbind(BoundControl& c);
    const std::vector<BoundControl*>& boundControls() const { return bound_; }

    // Why a bound control's change could not be stored in its field (the
    // refusal the user reads, naming the control), or nullopt. Only changes
    // a commit would store count: a row is current.
    std::optional<std::string> entryRefusal() const;
    // The same for the value one bound control holds, changed or not.
    std::optional<std::string> entryRefusal(const BoundControl& c) const;

    // A changed bound control whose field the file now holds with another
    // value than the row held when the change began (a posting, another
    // window or a restore stored it since): the refusal the user reads,
    // naming the control and the value now stored; nullopt otherwise. The
    // value told counts as seen: once the user types into the control
    // again, a save may store what it holds.
    std::optional<std::string> overwriteRefusal();
    // The same for one control, changed or not: a value a window works out
    // from what a control shows is refused so when what it shows is stored
    // anew since (typing the control then counts as typing it again).
    std::optional<std::string> overwriteRefusal(BoundControl& c);
    // A value the window worked out from values it checked are stored now:
    // it changes the field as stored now.
    void baseOnStored(BoundControl& c);

    // Bound controls hand their changes to the current row; a change that
    // cannot be stored, or would overwrite what was stored since it began,
    // fails the action with its refusal, handing none.
    void storeBoundChanges();
    void showCurrentRow();

    // Told by a bound control each time what it holds is changed.
    void noteChange(BoundControl& c);
    // Told when the user typed or picked into a bound control: after a
    // refusal told what is stored, that is the value the change now
    // changes (a value code works out again never counts so).
    void noteTyped(BoundControl& c);

    void recordsetWillWrite(Recordset&) override { storeBoundChanges(); }
    void recordsetMoved(Recordset&) override { showCurrentRow(); }
    void recordsetReread(Recordset&) override;
    // A control holding nothing typed shows what is stored anyway once the
    // action that rewrote its table has committed.
    bool recordsetMayReread(Recordset&) override;

private:
    void open(Recordset::Open how);
    // Where a control's change began: the field as the row held it, and a
    // value since stored that a refusal told the user of.
    struct ChangeBase {
        BoundControl* control;
        Value base;
        std::optional<Value> told;
    };
    ChangeBase* baseOf(const BoundControl& c);
    void forgetBase(const BoundControl& c);

    Machine& machine_;
    std::unique_ptr<Recordset> rs_;
    std::vector<BoundControl*> bound_;
    std::vector<ChangeBase> bases_;
};

}  // namespace mk
