#include "qt/dialogs_qt.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QStyledItemDelegate>
#include <QTranslator>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "qt/text.h"
#include "qt/type_ahead.h"

namespace mk::qt {

namespace {

QMessageBox::Icon iconOf(int style) {
    switch (style & mb::IconMask) {
        case mb::Critical: return QMessageBox::Critical;
        case mb::Question: return QMessageBox::Question;
        case mb::Exclamation: return QMessageBox::Warning;
        case mb::Information: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

QMessageBox::ButtonRole roleOf(int answer) {
    switch (answer) {
        case answer::OK:
        case answer::Yes:
        case answer::Retry: return QMessageBox::AcceptRole;
        case answer::No: return QMessageBox::NoRole;
        case answer::Cancel:
        case answer::Abort: return QMessageBox::RejectRole;
        default: return QMessageBox::ActionRole;
    }
}

// The answer of a box closed without a button: the one that changes nothing.
int closedAnswer(const std::vector<int>& buttons) {
    for (int a : {answer::Cancel, answer::No, answer::Abort, answer::OK})
        if (std::find(buttons.begin(), buttons.end(), a) != buttons.end()) return a;
    return buttons.empty() ? answer::OK : buttons.front();
}

}  // namespace

QString answerCaption(int a) {
    switch (a) {
        case answer::OK: return QStringLiteral("موافق");
        case answer::Cancel: return QStringLiteral("إلغاء");
        case answer::Abort: return QStringLiteral("إنهاء");
        case answer::Retry: return QStringLiteral("إعادة المحاولة");
        case answer::Ignore: return QStringLiteral("تجاهل");
        case answer::Yes: return QStringLiteral("نعم");
        case answer::No: return QStringLiteral("لا");
        default: return QString::number(a);
    }
}

QString answerName(int a) {
    switch (a) {
        case answer::OK: return QStringLiteral("OK");
        case answer::Cancel: return QStringLiteral("Cancel");
        case answer::Abort: return QStringLiteral("Abort");
        case answer::Retry: return QStringLiteral("Retry");
        case answer::Ignore: return QStringLiteral("Ignore");
        case answer::Yes: return QStringLiteral("Yes");
        case answer::No: return QStringLiteral("No");
        default: return QString::number(a);
    }
}

namespace {

// A message's or prompt's text laid out the way it reads: a right-to-left
// paragraph standing at the right for Arabic, else from the left.
void showReading(QLabel& label, const QString& shown) {
    label.setTextFormat(Qt::PlainText);
    label.setText(shown);
    const bool rtl = readsRightToLeft(shown);
    label.setAlignment(Qt::AlignAbsolute | (rtl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

// What a tool reads: the text without the marks that order it.
QString spoken(QString shown) {
    for (QChar mark : {QChar(0x200E), QChar(0x200F), QChar(0x2068), QChar(0x2069)}) shown.remove(mark);
    return shown;
}

// Answered, a box hides and keeps its window, which closing would destroy.
void answered(QDialog& box, int r) {
    TypeAhead::boxClosing(box);
    box.setResult(r);
    box.hide();
}

class MessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    void done(int r) override { answered(*this, r); }
};

// An answered box goes only a while after it closed (kBoxLingersMs).
template <class Box>
std::unique_ptr<Box, void (*)(Box*)> lingering(Box* box) {
    return {box, [](Box* b) {
                b->hide();
                QTimer::singleShot(kBoxLingersMs, b, &QObject::deleteLater);
            }};
}

int showMessage(QWidget* parent, const QString& shown, const std::string& title, int style) {
    auto owned = lingering(new MessageBox(parent));
    QMessageBox& box = *owned;
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setWindowTitle(qs(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(shown);
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        showReading(*label, shown);
    box.setIcon(iconOf(style));
    box.setWindowModality(Qt::ApplicationModal);
    box.setAccessibleName(qs(title));
    box.setAccessibleDescription(spoken(shown));
    const std::vector<int> answers = buttonsOf(style);
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (int a : answers) {
        QPushButton* b = box.addButton(answerCaption(a), roleOf(a));
        b->setObjectName(answerName(a));
        b->setAccessibleName(answerCaption(a));
        b->setAccessibleDescription(answerName(a));
        buttons.emplace_back(b, a);
    }
    // The second or third button may be the default (styles 256 and 512).
    const size_t def = static_cast<size_t>((style >> 8) & 3);
    box.setDefaultButton(static_cast<QPushButton*>(buttons[def < buttons.size() ? def : 0].first));
    const int onClose = closedAnswer(answers);
    for (auto& [b, a] : buttons)
        if (a == onClose && (a == answer::Cancel || answers.size() == 1)) box.setEscapeButton(b);
    box.exec();
    for (auto& [b, a] : buttons)
        if (box.clickedButton() == b) return a;
    return onClose;
}

}  // namespace

int QtDialogs::messageBox(const std::string& prompt, const std::string& title, int style) {
    return showMessage(parent ? parent() : nullptr, asParagraph(qs(prompt)), title, style);
}

int QtDialogs::messageBoxLeftToRight(const std::vector<std::string>& pieces, const std::string& title,
                                     int style) {
    std::vector<QString> texts;
    for (const std::string& p : pieces) texts.push_back(qs(p));
    return showMessage(parent ? parent() : nullptr, piecesFromTheRight(texts), title, style);
}

InputBoxDialog::InputBoxDialog(const QString& prompt, const QString& title, const QString& text,
                               QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("InputBox"));
    setWindowTitle(title);
    setAccessibleName(title);
    setAccessibleDescription(prompt);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    prompt_ = new QLabel(this);
    showReading(*prompt_, asParagraph(prompt));
    prompt_->setWordWrap(true);
    prompt_->setMinimumWidth(320);
    field_ = new QLineEdit(text, this);
    field_->setObjectName(QStringLiteral("Text"));
    field_->setAccessibleName(prompt.trimmed());
    field_->setAccessibleDescription(QStringLiteral("Text"));
    // Typed numbers stand at the reading side, as in the windows' boxes.
    field_->setAlignment(Qt::AlignAbsolute |
                         (layoutDirection() == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft));
    field_->selectAll();
    prompt_->setBuddy(field_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(answerCaption(answer::OK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(answerName(answer::OK));
    ok->setAccessibleDescription(answerName(answer::OK));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(answerCaption(answer::Cancel), QDialogButtonBox::RejectRole);
    cancel->setObjectName(answerName(answer::Cancel));
    cancel->setAccessibleDescription(answerName(answer::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(prompt_);
    layout->addWidget(field_);
    layout->addWidget(buttons);
    field_->setFocus();
}

QString InputBoxDialog::text() const { return field_->text(); }

void InputBoxDialog::done(int r) { answered(*this, r); }

std::optional<std::string> QtDialogs::inputBox(const std::string& prompt, const std::string& title,
                                               const std::string& defaultText) {
    auto owned =
        lingering(new InputBoxDialog(qs(prompt), qs(title), qs(defaultText), parent ? parent() : nullptr));
    InputBoxDialog& dialog = *owned;
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std8(dialog.text());
}

// ------------------------------------------------ file and print dialogs

bool installQtArabic() {
    static QTranslator* translator = nullptr;
    if (translator) return true;
    auto* t = new QTranslator(QCoreApplication::instance());
    if (!t->load(QStringLiteral("qtbase_ar"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    translator = t;
    return true;
}

namespace {

// Sizes and dates in a file list read left to right; names keep their own.
class FiguresDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() > 0) option->direction = Qt::LeftToRight;
    }
};

}  // namespace

void figuresLeftToRight(QWidget& dialog) {
    for (QAbstractSpinBox* box : dialog.findChildren<QAbstractSpinBox*>())
        box->setLayoutDirection(Qt::LeftToRight);
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        if (edit->objectName().contains(QStringLiteral("page"), Qt::CaseInsensitive))
            edit->setLayoutDirection(Qt::LeftToRight);
    for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>())
        if (view->objectName() == QStringLiteral("treeView"))
            view->setItemDelegate(new FiguresDelegate(view));
}

bool askYesNo(QWidget* parent, const QString& title, const QString& question) {
    // No is the default: the answer that changes nothing.
    return showMessage(parent, asParagraph(question), std8(title), mb::YesNo | mb::Question | 256) ==
           answer::Yes;
}

void tell(QWidget* parent, const QString& title, const QString& text, bool warning) {
    showMessage(parent, asParagraph(text), std8(title),
                mb::OKOnly | (warning ? mb::Exclamation : mb::Information));
}

}  // namespace mk::qt
