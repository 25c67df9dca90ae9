#include "platform/dialogs.h"

namespace mk {

std::vector<int> buttonsOf(int style) {
    switch (style & mb::ButtonsMask) {
        case mb::OKCancel: return {answer::OK, answer::Cancel};
        case mb::AbortRetryIgnore: return {answer::Abort, answer::Retry, answer::Ignore};
        case mb::YesNoCancel: return {answer::Yes, answer::No, answer::Cancel};
        case mb::YesNo: return {answer::Yes, answer::No};
        case mb::RetryCancel: return {answer::Retry, answer::Cancel};
        default: return {answer::OK};
    }
}

namespace {

int safeAnswer(int style) {
    switch (style & mb::ButtonsMask) {
        case mb::YesNo: return answer::No;
        case mb::AbortRetryIgnore: return answer::Abort;
        case mb::OKCancel:
        case mb::YesNoCancel:
        case mb::RetryCancel: return answer::Cancel;
        default: return answer::OK;
    }
}

}  // namespace

int Dialogs::messageBoxLeftToRight(const std::vector<std::string>& pieces,
                                   const std::string& title, int style) {
    std::string text;
    for (const std::string& p : pieces) text += p;
    return messageBox(text, title, style);
}

void ScriptedDialogs::record(Shown& s) {
    s.duringWrite = writeOpen && writeOpen();
    if (s.duringWrite) duringWrite_.push_back(s);
    if (onShown) onShown(s);
}

int ScriptedDialogs::messageBox(const std::string& prompt, const std::string& title, int style) {
    Shown s;
    s.prompt = prompt;
    s.title = title;
    s.style = style;
    s.result = safeAnswer(style);
    record(s);
    if (!answers_.empty() && !answers_.front().input) {
        s.result = answers_.front().result;
        s.scripted = true;
        answers_.pop_front();
    }
    shown_.push_back(s);
    return s.result;
}

std::optional<std::string> ScriptedDialogs::inputBox(const std::string& prompt,
                                                     const std::string& title,
                                                     const std::string& defaultText) {
    Shown s;
    s.input = true;
    s.prompt = prompt;
    s.title = title;
    s.defaultText = defaultText;
    s.result = answer::Cancel;
    record(s);
    if (!answers_.empty() && answers_.front().input) {
        s.result = answers_.front().result;
        s.typed = answers_.front().text;
        s.scripted = true;
        answers_.pop_front();
    }
    shown_.push_back(s);
    if (s.result == answer::Cancel) return std::nullopt;
    return s.typed;
}

std::vector<ScriptedDialogs::Shown> ScriptedDialogs::messages() const {
    std::vector<Shown> out;
    for (const Shown& s : shown_)
        if (!s.input) out.push_back(s);
    return out;
}

}  // namespace mk
