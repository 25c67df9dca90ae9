// Test harness: a temporary data root with a new database file, an
// application on a fake clock with scripted dialogs, and steps that read
// like a user's.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/failure.h"
#include "platform/recordset.h"

namespace mk::test {

class TempRoot {
public:
    TempRoot();
    // Another's data root, left in place at the end.
    explicit TempRoot(const TempRoot& other) : path_(other.path_), owned_(false) {}
    TempRoot& operator=(const TempRoot&) = delete;
    ~TempRoot();
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    bool owned_ = true;
};

// The number of the runtime error fn throws, 0 when it throws none.
template <class F>
long errorNumber(F&& fn) {
    try {
        fn();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// What the program's log under a data root holds.
std::string logText(const std::filesystem::path& root);

// 6 December 2026, 09:00.
double defaultStart();

class Harness {
public:
    enum class Windows { System, None };
    explicit Harness(Windows windows = Windows::System, double start = defaultStart());
    // A second program on the data root of another harness: a connection
    // of its own to the same file.
    struct SecondProgram {
        const Harness& first;
    };
    explicit Harness(SecondProgram second);
    ~Harness();

    TempRoot root;
    FakeClock clock;
    Machine machine;
    ScriptedDialogs dialogs;
    Application app;

    Database& db();

    // Windows and controls.
    Form& form(const std::string& name) { return app.form(name); }
    Form& show(const std::string& name);
    bool click(const std::string& form, const std::string& control, int index = -1);
    bool type(const std::string& form, const std::string& control, const std::string& text,
              int index = -1);
    bool choose(const std::string& form, const std::string& combo, const std::string& text,
                int index = -1);
    bool menu(const std::string& form, const std::string& item);
    bool close(const std::string& form);
    std::string text(const std::string& form, const std::string& control, int index = -1);
    std::string caption(const std::string& form, const std::string& control, int index = -1);
    const std::vector<std::string>& lines(const std::string& form);

    // Time: fires every timer due on the way, in time order.
    void advance(long long ms);

    // Dialogs: answers for the boxes to come, and the boxes shown.
    void answer(int result) { dialogs.answer(result); }
    void answerInput(const std::string& text) { dialogs.type(text); }
    std::vector<std::string> messageTexts() const;
    std::string lastMessage() const;
    std::string lastTitle() const;

    // Rows of a table as stored now.
    long count(const std::string& table);
    // Rows of a table as another program reading the file sees them now:
    // through a connection of its own, so only what is committed.
    long committedCount(const std::string& table);
    // The first value a query gives on such a connection, as a number (0
    // for no row or Null).
    double committed(const std::string& sql);
    Value cell(const std::string& table, long row, const std::string& field);
    std::vector<Value> column(const std::string& table, const std::string& field);
    void exec(const std::string& sql);
    // What the program's log under the data root holds.
    std::string logText() const { return test::logText(root.path()); }
};

}  // namespace mk::test
