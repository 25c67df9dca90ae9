// Message boxes and input boxes: one interface, shown as real dialogs by
// the front end and answered from a script in tests.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mk {

// Style values of a message box: buttons + icon.
namespace mb {
constexpr int OKOnly = 0;
constexpr int OKCancel = 1;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int ButtonsMask = 7;
constexpr int IconMask = 112;
}  // namespace mb

// Answers of a message box.
namespace answer {
constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
}  // namespace answer

// The buttons of a style, in the order they are shown, as answers.
std::vector<int> buttonsOf(int style);

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // title is never empty here: the application fills in its default.
    virtual int messageBox(const std::string& prompt, const std::string& title, int style) = 0;
    // A message joined from pieces written in the order they stand on a
    // left-to-right screen: the sentence's last words come first. Its text
    // is the pieces joined in that order; a right-to-left box lays the
    // pieces out from its left edge, so the sentence reads on from the
    // right. By default shown as its text.
    virtual int messageBoxLeftToRight(const std::vector<std::string>& pieces,
                                      const std::string& title, int style);
    // nullopt when the user pressed Cancel.
    virtual std::optional<std::string> inputBox(const std::string& prompt,
                                                const std::string& title,
                                                const std::string& defaultText) = 0;
};

// Answers from a script, in order; records every box shown. A box with no
// scripted answer gets the answer that changes nothing (OK, No, Cancel;
// Cancel for an input box).
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        bool input = false;
        std::string prompt;
        std::string title;
        int style = 0;
        std::string defaultText;
        int result = 0;          // message box answer
        std::string typed;       // input box answer ("" on Cancel)
        bool scripted = false;
        bool duringWrite = false;  // shown while a write transaction was open
    };

    // Asked at every box whether a write transaction is open (no box may
    // be shown then: the user could leave the file locked, or kill the
    // program before what the box reports is stored).
    std::function<bool()> writeOpen;
    // Runs as each box is shown, before it is answered.
    std::function<void(const Shown&)> onShown;

    void answer(int result) { answers_.push_back({false, result, {}}); }
    void type(const std::string& text) { answers_.push_back({true, answer::OK, text}); }
    void cancelInput() { answers_.push_back({true, answer::Cancel, {}}); }

    int messageBox(const std::string& prompt, const std::string& title, int style) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;

    const std::vector<Shown>& shown() const { return shown_; }
    std::vector<Shown> messages() const;  // message boxes only
    // Every box shown while a write transaction was open, since the start.
    const std::vector<Shown>& shownDuringWrite() const { return duringWrite_; }
    void clear() { shown_.clear(); }
    size_t unusedAnswers() const { return answers_.size(); }

private:
    struct Scripted {
        bool input;
        int result;
        std::string text;
    };
    // Records a box about to be shown and runs the hook.
    void record(Shown& s);

    std::deque<Scripted> answers_;
    std::vector<Shown> shown_;
    std::vector<Shown> duringWrite_;
};

}  // namespace mk
