// Message boxes and input boxes as real Qt dialogs, right to left.
#pragma once

#include <QDialog>
#include <functional>

#include "platform/dialogs.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace mk::qt {

// How long an answered box's window stays (hidden) after it closed: a key
// the window system gave it meanwhile (typed ahead, as it closed) still
// finds its window and goes on to the window in front, where a window
// already gone would have it dropped.
inline constexpr int kBoxLingersMs = 2000;

class QtDialogs : public Dialogs {
public:
    // Where a box opens over (the active window); null centres it.
    std::function<QWidget*()> parent;

    int messageBox(const std::string& prompt, const std::string& title, int style) override;
    int messageBoxLeftToRight(const std::vector<std::string>& pieces, const std::string& title,
                              int style) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
};

// The input box: a prompt, one edit field, OK and Cancel.
class InputBoxDialog : public QDialog {
    Q_OBJECT
public:
    InputBoxDialog(const QString& prompt, const QString& title, const QString& text,
                   QWidget* parent);
    QString text() const;
    QLineEdit* field() const { return field_; }
    // Answered, it hides and keeps its window (see kBoxLingersMs).
    void done(int r) override;

private:
    QLabel* prompt_;
    QLineEdit* field_;
};

// Qt's own dialogs (files, printing, message boxes) in Arabic: Qt's
// Arabic translation from its translations folder. False when missing.
bool installQtArabic();

// A file or print dialog's figures (page numbers, copies, file sizes and
// dates) laid out left to right inside the right-to-left dialog.
void figuresLeftToRight(QWidget& dialog);

// Asks a yes/no question in Arabic over parent; true for yes.
bool askYesNo(QWidget* parent, const QString& title, const QString& question);
// Tells something in Arabic over parent, with one button.
void tell(QWidget* parent, const QString& title, const QString& text, bool warning);

// The caption of a button that gives `answer`, and the name tools use.
QString answerCaption(int answer);
QString answerName(int answer);

}  // namespace mk::qt
