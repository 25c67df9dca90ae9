#include "qt/control_views.h"

#include <QAbstractListModel>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIdentityProxyModel>
#include <QHBoxLayout>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QItemSelectionModel>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcutEvent>
#include <QStyle>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <map>
#include <memory>
#include <optional>

#include "platform/application.h"
#include "qt/accessible.h"
#include "qt/form_window.h"
#include "qt/front_end.h"
#include "qt/text.h"

namespace mk::qt {

namespace {

Qt::Alignment horizontalAlignment(int alignment) {
    // The windows read right to left: their text stands at the right, Arabic
    // and numbers alike, each line of a paragraph too; a centred control
    // stays centred.
    return alignment == 2 ? Qt::AlignHCenter : Qt::AlignAbsolute | Qt::AlignRight;
}

// A box that cannot take text takes no Tab stop (nor the first focus of
// its window); a click still puts the cursor in it, to read or copy.
void takesTextOrNot(QWidget& w, bool locked) {
    const Qt::FocusPolicy p = locked ? Qt::ClickFocus : Qt::StrongFocus;
    if (w.focusPolicy() != p) w.setFocusPolicy(p);
}

QStringList toList(const std::vector<std::string>& v) {
    QStringList out;
    out.reserve(static_cast<qsizetype>(v.size()));
    for (const std::string& s : v) out << qs(s);
    return out;
}

QStringList itemTexts(const QComboBox& c) {
    QStringList out;
    for (int i = 0; i < c.count(); ++i) out << c.itemText(i);
    return out;
}

QStringList itemTexts(const QListWidget& l) {
    QStringList out;
    for (int i = 0; i < l.count(); ++i) out << l.item(i)->text();
    return out;
}

// Paths and drive names read left to right even in a right-to-left
// window; the raw text stays in the item's data.
QString leftToRight(const QString& s) { return QChar(0x2066) + s + QChar(0x2069); }

// Runs `fn` when Return or Enter is pressed on a list; the list still
// handles the key as before.
void onReturn(QAbstractItemView& list, std::function<void()> fn) {
    struct Filter : QObject {
        std::function<void()> fn;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() != QEvent::KeyPress) return false;
            const int k = static_cast<QKeyEvent*>(e)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter) fn();
            return false;
        }
    };
    auto* filter = new Filter;
    filter->setParent(&list);
    filter->fn = std::move(fn);
    list.installEventFilter(filter);
}

void setItems(QListWidget& l, const QStringList& items) {
    if (itemTexts(l) == items) return;
    QSignalBlocker block(l);
    l.clear();
    l.addItems(items);
}

// ------------------------------------------------------------------ label

class LabelView : public ControlView {
public:
    LabelView(FormWindow& w, Label& l, QWidget* parent) : ControlView(w, l), label_(l) {
        text_ = new QLabel(parent);
        text_->setWordWrap(true);
        text_->setTextFormat(Qt::PlainText);
        widget_ = text_;
    }
    bool drawnOnSurface() const override { return true; }
    void sync() override {
        const QString t =
            asParagraph(label_.dataSource() ? qs(label_.caption()) : stripMnemonic(qs(label_.caption())));
        if (text_->text() != t) text_->setText(t);
        // One line stands in the middle of its box, beside the box it
        // names; a taller label reads from its top.
        const int lineHeight = text_->fontMetrics().height();
        Qt::Alignment v = text_->height() <= 2 * lineHeight ? Qt::AlignVCenter : Qt::AlignTop;
        Qt::Alignment a = horizontalAlignment(label_.alignment) | v;
        if (text_->alignment() != a) text_->setAlignment(a);
        const bool fill = !label_.transparent && label_.backColor != kDefaultColor;
        if (text_->autoFillBackground() != fill) text_->setAutoFillBackground(fill);
    }

private:
    Label& label_;
    QLabel* text_;
};

// --------------------------------------------------------------- text box

class LineEditView : public ControlView {
public:
    LineEditView(FormWindow& w, TextBox& b, QWidget* parent) : ControlView(w, b), box_(b) {
        edit_ = new QLineEdit(parent);
        widget_ = edit_;
        edit_->installEventFilter(&keys_);
        keys_.view = this;
        // Typing, pasting and tools that set the text all count as typing;
        // only the sync's own writes do not.
        QObject::connect(edit_, &QLineEdit::textChanged, edit_, [this](const QString& t) {
            if (window_.isDead() || window_.frontEnd().isSyncing() || std8(t) == box_.text()) return;
            input([this, t](Application& app) { app.typeText(box_, std8(t)); });
        });
    }
    bool showsOther() const override { return edit_->text() != qs(box_.text()); }
    void sync() override {
        if (!typing && showsOther()) edit_->setText(qs(box_.text()));
        if (edit_->isReadOnly() != box_.locked) edit_->setReadOnly(box_.locked);
        takesTextOrNot(*edit_, box_.locked);
        const bool password = !box_.passwordChar->empty();
        const auto mode = password ? QLineEdit::Password : QLineEdit::Normal;
        if (edit_->echoMode() != mode) {
            edit_->setEchoMode(mode);
            const QString ch = qs(box_.passwordChar);
            edit_->setStyleSheet(password && !ch.isEmpty()
                                     ? QStringLiteral("QLineEdit { lineedit-password-character: %1; }")
                                           .arg(ch.toUcs4().value(0))
                                     : QString());
        }
        const int max = box_.maxLength > 0 ? box_.maxLength : 32767;
        if (edit_->maxLength() != max) edit_->setMaxLength(max);
        const Qt::Alignment a = horizontalAlignment(box_.alignment) | Qt::AlignVCenter;
        if (edit_->alignment() != a) edit_->setAlignment(a);
    }

private:
    // A box with a key-press handler gets its keys through the runtime.
    struct Keys : QObject {
        LineEditView* view = nullptr;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() != QEvent::KeyPress) return false;
            return view->key(static_cast<QKeyEvent*>(e));
        }
    };
    bool key(QKeyEvent* e) {
        if (window_.isDead() || !box_.onKeyPress.fn || box_.locked) return false;
        int code = 0;
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) code = 13;
        else if (e->key() == Qt::Key_Escape) code = 27;
        else if (!e->text().isEmpty() && e->text().at(0).unicode() >= 32 &&
                 !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            code = static_cast<int>(e->text().toUcs4().value(0));
        if (code == 0) return false;
        edit_->end(false);
        input([this, code](Application& app) { app.keyPress(box_, code); });
        return true;
    }

    TextBox& box_;
    QLineEdit* edit_;
    Keys keys_;
};

class MultiLineView : public ControlView {
public:
    MultiLineView(FormWindow& w, TextBox& b, QWidget* parent) : ControlView(w, b), box_(b) {
        edit_ = new QPlainTextEdit(parent);
        widget_ = edit_;
        edit_->setTabChangesFocus(true);
        edit_->installEventFilter(&tabbedInto_);
        QObject::connect(edit_, &QPlainTextEdit::textChanged, edit_, [this] {
            if (window_.isDead() || window_.frontEnd().isSyncing()) return;
            const std::string t = std8(edit_->toPlainText());
            if (t == box_.text()) return;
            input([this, t](Application& app) { app.typeText(box_, t); });
        });
    }
    bool showsOther() const override { return edit_->toPlainText() != qs(box_.text()); }
    void sync() override {
        if (!typing && showsOther()) edit_->setPlainText(qs(box_.text()));
        if (edit_->isReadOnly() != box_.locked) edit_->setReadOnly(box_.locked);
        takesTextOrNot(*edit_, box_.locked);
        // Each paragraph stands at the right, whichever way it reads.
        QTextOption option = edit_->document()->defaultTextOption();
        const Qt::Alignment a = horizontalAlignment(box_.alignment);
        if (option.alignment() != a) {
            option.setAlignment(a);
            edit_->document()->setDefaultTextOption(option);
        }
        const auto policy = box_.scrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
        if (edit_->verticalScrollBarPolicy() != policy) edit_->setVerticalScrollBarPolicy(policy);
    }

private:
    // Reached by Tab, its text is chosen whole, as a one-line box's is:
    // what is typed takes its place.
    struct TabbedInto : QObject {
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() != QEvent::FocusIn) return false;
            const auto reason = static_cast<QFocusEvent*>(e)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                if (auto* edit = qobject_cast<QPlainTextEdit*>(o); edit && !edit->isReadOnly())
                    edit->selectAll();
            return false;
        }
    };

    TextBox& box_;
    QPlainTextEdit* edit_;
    TabbedInto tabbedInto_;
};

// ----------------------------------------------------- buttons and checks

// A button's letter with Alt presses it at once, as a click does, so the
// keys typed next go where the press leaves the focus (Qt's own press
// comes 100 ms later, and keys typed meanwhile went to the box left).
// Two buttons of one letter still take the focus in turn.
bool pressedByLetter(QAbstractButton& button, QEvent* e) {
    if (e->type() != QEvent::Shortcut || static_cast<QShortcutEvent*>(e)->isAmbiguous()) return false;
    button.click();
    return true;
}

// Return or Enter on the focused button presses it, as Space does; the
// windows have no default button that would take those keys instead.
class PressButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    bool event(QEvent* e) override { return pressedByLetter(*this, e) || QPushButton::event(e); }
    void keyPressEvent(QKeyEvent* e) override {
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        const auto modifiers = e->modifiers() & ~Qt::KeypadModifier;
        if (!enter || modifiers != Qt::NoModifier) {
            QPushButton::keyPressEvent(e);
            return;
        }
        // Held down, it presses once, as Space does.
        if (!e->isAutoRepeat()) click();
        e->accept();
    }
};

class ButtonView : public ControlView {
public:
    ButtonView(FormWindow& w, CommandButton& b, QWidget* parent) : ControlView(w, b), button_(b) {
        push_ = new PressButton(parent);
        push_->setAutoDefault(false);
        widget_ = push_;
        QObject::connect(push_, &QPushButton::clicked, push_, [this] {
            input([this](Application& app) { app.click(button_); });
        });
    }
    void sync() override {
        const QString t = asParagraph(qs(button_.caption));
        if (push_->text() != t) {
            push_->setText(t);
            keepLettersJoined(*push_, hasArabicShortcut(t));
        }
    }

private:
    CommandButton& button_;
    QPushButton* push_;
};

// A check or option whose state is the runtime's: a click only asks, and
// the sync shows the answer. The whole box takes the click, not only its
// text.
template <class Base>
class RuntimeButton : public Base {
public:
    using Base::Base;

protected:
    bool event(QEvent* e) override { return pressedByLetter(*this, e) || Base::event(e); }
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
    void nextCheckState() override {}
};

// Assistive tools toggle a check or option without clicking it; that
// counts as a click, queued so the tool's call returns at once.
void clickWhenToggledByTool(ControlView& view, QAbstractButton& button, bool onlyOn) {
    QObject::connect(&button, &QAbstractButton::toggled, &button, [&view, &button, onlyOn](bool on) {
        if (view.window().frontEnd().isSyncing() || (onlyOn && !on)) return;
        QTimer::singleShot(0, &button, [&view] {
            view.input([&view](Application& app) { app.click(view.control()); });
        });
    });
}

class CheckView : public ControlView {
public:
    CheckView(FormWindow& w, CheckBox& c, QWidget* parent) : ControlView(w, c), check_(c) {
        box_ = new RuntimeButton<QCheckBox>(parent);
        box_->setTristate(true);
        widget_ = box_;
        QObject::connect(box_, &QCheckBox::clicked, box_, [this] {
            input([this](Application& app) { app.click(check_); });
        });
        clickWhenToggledByTool(*this, *box_, false);
    }
    void sync() override {
        const QString t = asParagraph(qs(check_.caption));
        if (box_->text() != t) {
            box_->setText(t);
            keepLettersJoined(*box_, hasArabicShortcut(t));
        }
        const Qt::CheckState s = check_.value() == 1   ? Qt::Checked
                                 : check_.value() == 2 ? Qt::PartiallyChecked
                                                       : Qt::Unchecked;
        if (box_->checkState() != s) box_->setCheckState(s);
    }

private:
    CheckBox& check_;
    QCheckBox* box_;
};

class OptionView : public ControlView {
public:
    OptionView(FormWindow& w, OptionButton& o, QWidget* parent) : ControlView(w, o), option_(o) {
        radio_ = new RuntimeButton<QRadioButton>(parent);
        widget_ = radio_;
        QObject::connect(radio_, &QRadioButton::clicked, radio_, [this] {
            input([this](Application& app) { app.click(option_); });
        });
        // Turning one on turns its neighbours off: only the one turned on asks.
        clickWhenToggledByTool(*this, *radio_, true);
    }
    void sync() override {
        const QString t = asParagraph(qs(option_.caption));
        if (radio_->text() != t) {
            radio_->setText(t);
            keepLettersJoined(*radio_, hasArabicShortcut(t));
        }
        if (radio_->isChecked() != option_.value) {
            // The runtime may leave a group with no option on, which an
            // exclusive group of Qt's refuses.
            radio_->setAutoExclusive(false);
            radio_->setChecked(option_.value);
            radio_->setAutoExclusive(true);
        }
    }

private:
    OptionButton& option_;
    QRadioButton* radio_;
};

// -------------------------------------------------------- combos, lists

class ComboView : public ControlView {
public:
    ComboView(FormWindow& w, ComboBox& c, QWidget* parent) : ControlView(w, c), combo_(c) {
        box_ = new QComboBox(parent);
        widget_ = box_;
        QObject::connect(box_, &QComboBox::activated, box_, [this](int index) {
            if (window_.frontEnd().isSyncing()) return;
            input([this, index](Application& app) { app.choose(combo_, index); });
        });
    }
    void sync() override {
        const QStringList items = toList(combo_.items);
        if (itemTexts(*box_) != items) {
            QSignalBlocker block(box_);
            box_->clear();
            box_->addItems(items);
        }
        const int index = combo_.listIndex < box_->count() ? combo_.listIndex : -1;
        if (box_->currentIndex() != index) {
            QSignalBlocker block(box_);
            box_->setCurrentIndex(index);
        }
        const QString t = qs(combo_.text);
        if (box_->placeholderText() != t) box_->setPlaceholderText(t);
    }

private:
    ComboBox& combo_;
    QComboBox* box_;
};

class ListView : public ControlView {
public:
    ListView(FormWindow& w, ListBox& l, QWidget* parent) : ControlView(w, l), list_(l) {
        box_ = new QListWidget(parent);
        widget_ = box_;
        w.adopt(box_->viewport(), *this);
        QObject::connect(box_, &QListWidget::currentRowChanged, box_, [this](int row) {
            if (window_.frontEnd().isSyncing() || row < 0) return;
            input([this, row](Application& app) { app.choose(list_, row); });
        });
        QObject::connect(box_, &QListWidget::itemDoubleClicked, box_, [this] {
            input([this](Application& app) { app.dblClick(list_); });
        });
    }
    void sync() override {
        setItems(*box_, toList(list_.items));
        const int row = list_.listIndex < box_->count() ? list_.listIndex : -1;
        if (box_->currentRow() != row) box_->setCurrentRow(row);
    }

private:
    ListBox& list_;
    QListWidget* box_;
};

// The rows of a data combo's or data list's list: one model per list of
// texts the runtime shares (every chooser over the same rows shows the
// same one), each row's text made only when a view asks for it.
class TextListModel : public QAbstractListModel {
public:
    explicit TextListModel(std::shared_ptr<const TextColumn> texts) : texts_(std::move(texts)) {}
    const TextColumn* texts() const { return texts_.get(); }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(texts_->size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
        const std::string_view t = (*texts_)[static_cast<size_t>(index.row())];
        return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
    }
    // The row holding text exactly, -1 when none.
    int rowOf(const QString& text) const {
        const QByteArray wanted = text.toUtf8();
        const std::string_view w(wanted.constData(), static_cast<size_t>(wanted.size()));
        for (size_t i = 0; i < texts_->size(); ++i)
            if ((*texts_)[i] == w) return static_cast<int>(i);
        return -1;
    }

private:
    std::shared_ptr<const TextColumn> texts_;
};

// The model of a list of texts, made once while any view shows it.
std::shared_ptr<TextListModel> modelOf(std::shared_ptr<const TextColumn> texts) {
    static const auto empty = std::make_shared<const TextColumn>();
    static std::map<const TextColumn*, std::weak_ptr<TextListModel>> shown;
    if (!texts) texts = empty;
    for (auto it = shown.begin(); it != shown.end();)
        it = it->second.expired() ? shown.erase(it) : std::next(it);
    std::weak_ptr<TextListModel>& slot = shown[texts.get()];
    if (auto model = slot.lock()) return model;
    auto model = std::make_shared<TextListModel>(std::move(texts));
    slot = model;
    return model;
}

// A data combo fills its list from its row source when it opens.
class DataComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforeOpening;
    bool locked = false;

    void showPopup() override {
        if (locked) return;
        if (beforeOpening) beforeOpening();
        if (auto* list = dynamic_cast<PickList*>(view())) list->reopen();
        QComboBox::showPopup();
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        const bool picks = e->key() == Qt::Key_Up || e->key() == Qt::Key_Down ||
                           e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown;
        if (locked && picks) return;
        QComboBox::keyPressEvent(e);
    }
    // A turn of the wheel over a chooser must not pick an item by chance.
    void wheelEvent(QWheelEvent* e) override { e->ignore(); }
};

class DataComboView : public ControlView {
public:
    DataComboView(FormWindow& w, DataCombo& c, QWidget* parent) : ControlView(w, c), combo_(c) {
        box_ = new DataComboBox(parent);
        box_->setEditable(true);
        box_->setInsertPolicy(QComboBox::NoInsert);
        box_->setCompleter(nullptr);
        // Sized by the window, never by its longest item.
        box_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        auto* list = new PickList(box_, [this](int row) { pickedByTool(row); });
        list->setUniformItemSizes(true);
        box_->setView(list);
        // The chooser keeps its own model, which shows the shared list.
        rows_ = new QIdentityProxyModel(box_);
        box_->setModel(rows_);
        box_->setMaxVisibleItems(20);
        widget_ = box_;
        w.adopt(box_->lineEdit(), *this);
        // Leaving the box is the runtime's to act on; the combo's own search
        // of its whole list for the text left (a pick it would raise again)
        // is not wanted. Return or Enter on a typed name of the list picks
        // it, by the road a pick from the open list takes.
        QObject::disconnect(box_->lineEdit(), &QLineEdit::editingFinished, box_, nullptr);
        QObject::connect(box_->lineEdit(), &QLineEdit::returnPressed, box_, [this] {
            const QString typed = box_->lineEdit()->text();
            if (quiet() || !model_ || model_->rowOf(typed) < 0) return;
            chosen(std8(typed));
        });
        box_->beforeOpening = [this] {
            if (!window_.isDead()) refreshList();
        };
        QObject::connect(box_, &QComboBox::activated, box_, [this](int index) {
            if (!quiet()) chosen(std8(box_->itemText(index)));
        });
        QObject::connect(box_->lineEdit(), &QLineEdit::textEdited, box_, [this](const QString& t) {
            if (quiet()) return;
            input([this, t](Application& app) { app.typeText(combo_, std8(t)); });
        });
        // Typing has reached the runtime by now (textEdited comes first);
        // a text that differs was set whole, by a tool: it is entered as a
        // user types and leaves. Queued, so the tool's call returns at once
        // even when a handler asks something.
        QObject::connect(box_->lineEdit(), &QLineEdit::textChanged, box_, [this](const QString& t) {
            if (quiet() || window_.isDead() || std8(t) == combo_.text()) return;
            const bool queued = toolText_.has_value();
            toolText_ = std8(t);
            if (!queued) later([this] { enterToolText(); });
        });
        refreshList();
    }
    // A row source re-read gives another list.
    bool watchesOutside() const override { return true; }
    void syncOutside() override { refreshList(); }
    bool showsOther() const override { return box_->currentText() != qs(combo_.text()); }
    void sync() override {
        refreshList();
        if (!typing && showsOther()) box_->setEditText(qs(combo_.text()));
        box_->locked = combo_.locked;
        if (box_->lineEdit()->isReadOnly() != combo_.locked) box_->lineEdit()->setReadOnly(combo_.locked);
        takesTextOrNot(*box_, combo_.locked);
    }
    void focusedByUser() override { refreshList(); }

private:
    bool quiet() const { return refreshing_ || window_.frontEnd().isSyncing(); }
    void later(std::function<void()> fn) {
        QTimer::singleShot(0, box_, [this, fn = std::move(fn)] {
            if (!window_.isDead()) fn();
        });
    }
    void enterToolText() {
        if (!toolText_) return;  // a pick took its place
        const std::string text = *toolText_;
        toolText_.reset();
        if (text == combo_.text()) return;
        input([this, text](Application& app) { app.enterText(combo_, text); });
    }
    // The one road of a pick to the runtime, whatever the gesture.
    void chosen(const std::string& text) {
        toolText_.reset();  // the pick's own text, not a tool's
        input([this, text](Application& app) { app.choose(combo_, text); });
    }
    // An item picked in the list by a tool chooses as a mouse pick does.
    void pickedByTool(int row) {
        if (quiet() || row < 0 || row >= box_->count()) return;
        const std::string text = std8(box_->itemText(row));
        if (box_->view()->isVisible()) box_->hidePopup();
        later([this, text] {
            box_->view()->selectionModel()->clearSelection();
            chosen(text);
        });
    }
    // Shows the row source's list, shared with every chooser over it.
    void refreshList() {
        const auto texts = combo_.listTexts();
        if (model_ && model_->texts() == (texts ? texts.get() : nullptr)) return;
        if (model_ && !texts && model_->rowCount() == 0) return;
        // The text stays as it was, and so does what of it is chosen: the
        // "." chosen whole as Tab reached the box stays chosen when leaving
        // the group chooser gives the box another list.
        QLineEdit& edit = *box_->lineEdit();
        const QString text = box_->currentText();
        const int cursor = edit.cursorPosition();
        const int chosenFrom = edit.selectionStart();
        const int chosen = static_cast<int>(edit.selectedText().size());
        refreshing_ = true;
        QSignalBlocker block(box_);
        auto model = modelOf(texts);
        rows_->setSourceModel(model.get());
        model_ = std::move(model);
        box_->setCurrentIndex(-1);
        box_->setEditText(text);
        if (chosen > 0 && chosenFrom >= 0) {
            // The cursor stays at the end of the choice it was at.
            if (cursor == chosenFrom) edit.setSelection(chosenFrom + chosen, -chosen);
            else edit.setSelection(chosenFrom, chosen);
        } else {
            edit.setCursorPosition(cursor);
        }
        refreshing_ = false;
    }

    DataCombo& combo_;
    DataComboBox* box_;
    QIdentityProxyModel* rows_;
    std::shared_ptr<TextListModel> model_;
    bool refreshing_ = false;
    std::optional<std::string> toolText_;  // set by a tool, not yet entered
};

class DataListView : public ControlView {
public:
    DataListView(FormWindow& w, DataList& l, QWidget* parent) : ControlView(w, l), list_(l) {
        box_ = new QListView(parent);
        box_->setUniformItemSizes(true);
        box_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        rows_ = new QIdentityProxyModel(box_);
        box_->setModel(rows_);
        // An item picked by a tool chooses as a click does.
        QItemSelectionModel* made = box_->selectionModel();
        box_->setSelectionModel(new PickSelection(rows_, box_, [this](int row) {
            if (window_.frontEnd().isSyncing() || row < 0 || row >= rows_->rowCount()) return;
            const std::string text = std8(rows_->index(row, 0).data().toString());
            QTimer::singleShot(0, box_, [this, text] {
                input([this, text](Application& app) { app.choose(list_, text); });
            });
        }));
        delete made;
        widget_ = box_;
        w.adopt(box_->viewport(), *this);
        QObject::connect(box_, &QListView::clicked, box_,
                         [this](const QModelIndex& index) { chosen(index); });
        // Return takes the entry the keys highlighted, as a click takes it.
        onReturn(*box_, [this] { chosen(box_->currentIndex()); });
        QObject::connect(box_, &QListView::doubleClicked, box_, [this] {
            input([this](Application& app) { app.dblClick(list_); });
        });
        showList();
    }
    bool watchesOutside() const override { return true; }
    void syncOutside() override { sync(); }
    void sync() override {
        showList();
        // The row of the list's text, looked for only when either changed.
        if (shownText_ != list_.text() || shownModel_ != model_.get()) {
            shownText_ = list_.text();
            shownModel_ = model_.get();
            const int row = model_->rowOf(qs(list_.text()));
            QSignalBlocker block(box_->selectionModel());
            box_->setCurrentIndex(row < 0 ? QModelIndex() : rows_->index(row, 0));
        }
    }

private:
    void chosen(const QModelIndex& index) {
        if (!index.isValid()) return;
        const std::string text = std8(index.data().toString());
        input([this, text](Application& app) { app.choose(list_, text); });
    }
    void showList() {
        const auto texts = list_.listTexts();
        if (model_ && model_->texts() == (texts ? texts.get() : nullptr)) return;
        if (model_ && !texts && model_->rowCount() == 0) return;
        auto model = modelOf(texts);
        {
            QSignalBlocker block(box_->selectionModel());
            rows_->setSourceModel(model.get());
        }
        model_ = std::move(model);
        shownModel_ = nullptr;
    }

    DataList& list_;
    QListView* box_;
    QIdentityProxyModel* rows_;
    std::shared_ptr<TextListModel> model_;
    std::string shownText_;
    const TextListModel* shownModel_ = nullptr;
};

// ------------------------------------------------------------ containers

class FrameView : public ControlView {
public:
    FrameView(FormWindow& w, Frame& f, QWidget* parent) : ControlView(w, f), frame_(f) {
        group_ = new QGroupBox(parent);
        widget_ = group_;
    }
    bool holdsChildren() const override { return true; }
    void sync() override {
        const QString t = asParagraph(qs(frame_.caption));
        if (group_->title() != t) group_->setTitle(t);
    }

private:
    Frame& frame_;
    QGroupBox* group_;
};

// A picture box's panel; a named picture is drawn as the program's emblem,
// a closed carton, since the program ships no image files.
class PicturePanel : public QFrame {
public:
    using QFrame::QFrame;
    std::string picture;

protected:
    void paintEvent(QPaintEvent* e) override {
        QFrame::paintEvent(e);
        if (picture.empty()) return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF area = QRectF(contentsRect()).adjusted(6, 6, -6, -6);
        const double s = std::min(area.width(), area.height());
        if (s < 12) return;
        const QPointF o(area.center().x() - s / 2, area.center().y() - s / 2);
        const double d = s * 0.28;  // depth of the carton
        const double f = s - d;     // side of its front face
        const QPointF a = o + QPointF(0, d), b = a + QPointF(f, 0), c = b + QPointF(0, f),
                      g = a + QPointF(0, f);
        const QPointF ta = a + QPointF(d, -d), tb = b + QPointF(d, -d), tc = c + QPointF(d, -d);
        p.setPen(QPen(QColor(0x6d, 0x4c, 0x2e), std::max(1.0, s / 60)));
        p.setBrush(QColor(0xc8, 0x9b, 0x62));
        p.drawPolygon(QPolygonF({a, b, c, g}));
        p.setBrush(QColor(0xdd, 0xb5, 0x80));
        p.drawPolygon(QPolygonF({a, ta, tb, b}));
        p.setBrush(QColor(0xa8, 0x7d, 0x4a));
        p.drawPolygon(QPolygonF({b, tb, tc, c}));
        // The tape across the lid and down the front.
        p.setPen(QPen(QColor(0xf1, 0xe3, 0xc8), std::max(2.0, s / 14)));
        const QPointF lidMid = (a + ta) / 2 + QPointF(f / 2, 0);
        p.drawLine(lidMid, lidMid + QPointF(-d / 2, d / 2));
        p.drawLine(a + QPointF(f / 2, 0), g + QPointF(f / 2, 0) - QPointF(0, f * 0.55));
    }
};

class PictureView : public ControlView {
public:
    PictureView(FormWindow& w, PictureBox& p, QWidget* parent) : ControlView(w, p), picture_(p) {
        panel_ = new PicturePanel(parent);
        setAccessibleRole(*panel_, QAccessible::Pane);
        panel_->setAutoFillBackground(true);
        widget_ = panel_;
    }
    bool holdsChildren() const override { return true; }
    void sync() override {
        const auto shape = picture_.border ? QFrame::Panel : QFrame::NoFrame;
        if (panel_->frameShape() != shape) {
            panel_->setFrameShape(shape);
            panel_->setFrameShadow(QFrame::Sunken);
        }
        if (panel_->picture != picture_.picture) {
            panel_->picture = picture_.picture;
            panel_->update();
        }
    }

private:
    PictureBox& picture_;
    PicturePanel* panel_;
};

// ------------------------------------------------------ navigation bar

// A navigation button draws its arrow: towards the first row or onwards,
// the way rows run on screen (onwards is to the left, right to left).
class NavButton : public QToolButton {
public:
    NavButton(QWidget* parent, Nav where) : QToolButton(parent), where_(where) {}

protected:
    void paintEvent(QPaintEvent* e) override {
        QToolButton::paintEvent(e);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const bool backwards = where_ == Nav::First || where_ == Nav::Previous;
        const bool rtl = layoutDirection() == Qt::RightToLeft;
        const bool pointsRight = backwards == rtl;
        const double s = std::min(width(), height()) * 0.36;
        const QPointF c = QRectF(rect()).center();
        const double dir = pointsRight ? 1 : -1;
        QPolygonF tri;
        tri << QPointF(c.x() + dir * s * 0.6, c.y()) << QPointF(c.x() - dir * s * 0.6, c.y() - s)
            << QPointF(c.x() - dir * s * 0.6, c.y() + s);
        const QColor ink = isEnabled() ? palette().color(QPalette::ButtonText)
                                       : palette().color(QPalette::Disabled, QPalette::ButtonText);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(tri);
        if (where_ == Nav::First || where_ == Nav::Last) {
            const double x = c.x() + dir * s * 0.6;
            p.drawRect(QRectF(pointsRight ? x : x - s * 0.3, c.y() - s, s * 0.3, 2 * s));
        }
    }

private:
    Nav where_;
};

class NavView : public ControlView {
public:
    NavView(FormWindow& w, Adodc& dc, QWidget* parent) : ControlView(w, dc), dc_(dc) {
        bar_ = new QFrame(parent);
        setAccessibleRole(*bar_, QAccessible::ToolBar);
        bar_->setFrameShape(QFrame::Panel);
        bar_->setFrameShadow(QFrame::Raised);
        bar_->setAutoFillBackground(true);
        widget_ = bar_;
        auto* row = new QHBoxLayout(bar_);
        row->setContentsMargins(1, 1, 1, 1);
        row->setSpacing(0);
        // Every bar runs right to left, as the windows read: the first
        // row's button at the right, the last one's at the left.
        const QString id = qs(dc.fullName());
        first_ = button(QStringLiteral("الأول"), id + QStringLiteral(".First"), Nav::First);
        previous_ = button(QStringLiteral("السابق"), id + QStringLiteral(".Previous"), Nav::Previous);
        caption_ = new QLabel(bar_);
        caption_->setAlignment(Qt::AlignCenter);
        caption_->setTextFormat(Qt::PlainText);
        caption_->setAccessibleDescription(id + QStringLiteral(".Caption"));
        next_ = button(QStringLiteral("التالي"), id + QStringLiteral(".Next"), Nav::Next);
        last_ = button(QStringLiteral("الأخير"), id + QStringLiteral(".Last"), Nav::Last);
        row->addWidget(first_);
        row->addWidget(previous_);
        row->addWidget(caption_, 1);
        row->addWidget(next_);
        row->addWidget(last_);
    }
    void sync() override {
        const QString t = qs(dc_.caption);
        if (caption_->accessibleName() != t) {
            caption_->setText(barCaption(t));
            caption_->setAccessibleName(t);
        }
        const int side = std::max(12, std::min(bar_->height() - 2, 28));
        for (QToolButton* b : {first_, previous_, next_, last_})
            if (b->width() != side) b->setFixedWidth(side);
    }

private:
    QToolButton* button(const QString& name, const QString& id, Nav where) {
        auto* b = new NavButton(bar_, where);
        b->setToolTip(name);
        b->setAccessibleName(name);
        b->setAccessibleDescription(id);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        QObject::connect(b, &QToolButton::clicked, b, [this, where] {
            input([this, where](Application& app) { app.navigate(dc_, where); });
        });
        return b;
    }

    Adodc& dc_;
    QFrame* bar_;
    QToolButton *first_, *previous_, *next_, *last_;
    QLabel* caption_;
};

// ------------------------------------------------ drives, folders, files

class DriveView : public ControlView {
public:
    DriveView(FormWindow& w, DriveListBox& d, QWidget* parent) : ControlView(w, d), drive_(d) {
        box_ = new PickCombo(parent, [this](int index) { chosen(index); });
        widget_ = box_;
        QObject::connect(box_, &QComboBox::activated, box_, [this](int index) { chosen(index); });
    }
    // The machine's drives come and go.
    bool watchesOutside() const override { return true; }
    void syncOutside() override { sync(); }
    void sync() override {
        const QStringList items = toList(drive_.list());
        if (items != shown_) {
            shown_ = items;
            QSignalBlocker block(box_);
            box_->clear();
            for (const QString& d : items) {
                box_->addItem(leftToRight(d), d);
                box_->setItemData(box_->count() - 1, d, Qt::AccessibleTextRole);
            }
        }
        const int index = box_->findData(qs(drive_.drive()), Qt::UserRole, Qt::MatchFixedString);
        if (box_->currentIndex() != index) {
            QSignalBlocker block(box_);
            box_->setCurrentIndex(index);
        }
    }

private:
    void chosen(int index) {
        if (window_.isDead() || window_.frontEnd().isSyncing()) return;
        const std::string d = std8(box_->itemData(index).toString());
        input([this, d](Application& app) { app.chooseDrive(drive_, d); });
    }

    DriveListBox& drive_;
    QComboBox* box_;
    QStringList shown_;
};

class DirView : public ControlView {
public:
    DirView(FormWindow& w, DirListBox& d, QWidget* parent) : ControlView(w, d), dir_(d) {
        box_ = new QListWidget(parent);
        widget_ = box_;
        w.adopt(box_->viewport(), *this);
        // Opening a folder (double click or Enter) makes it the path.
        QObject::connect(box_, &QListWidget::itemActivated, box_, [this](QListWidgetItem* item) {
            const std::string path = std8(item->data(Qt::UserRole).toString());
            input([this, path](Application& app) { app.chooseFolder(dir_, path); });
        });
    }
    void sync() override {
        if (shownPath_ != dir_.path()) refresh();
    }
    void focusedByUser() override { refresh(); }

private:
    void refresh() {
        shownPath_ = dir_.path();
        // The path's folders from the drive down, then the folders in it.
        struct Row {
            QString name, path;
            qsizetype depth;
            bool open;
        };
        std::vector<Row> rows;
        const QStringList parts = qs(dir_.path()).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        QString full;
        for (const QString& part : parts) {
            if (full.isEmpty()) full = part + QLatin1Char('\\');
            else full = (full.endsWith(QLatin1Char('\\')) ? full : full + QLatin1Char('\\')) + part;
            rows.push_back({part, full, static_cast<qsizetype>(rows.size()), true});
        }
        const int current = static_cast<int>(rows.size()) - 1;
        const qsizetype depth = static_cast<qsizetype>(rows.size());
        for (const std::string& sub : dir_.subfolders()) {
            const QString s = qs(sub);
            rows.push_back({s.mid(s.lastIndexOf(QLatin1Char('\\')) + 1), s, depth, false});
        }
        // The same folders stay as they are, with the one a click highlighted.
        QStringList paths;
        for (const Row& r : rows) paths << r.path;
        if (paths == shownPaths_) return;
        shownPaths_ = paths;
        QSignalBlocker block(box_);
        box_->clear();
        const QIcon open = box_->style()->standardIcon(QStyle::SP_DirOpenIcon);
        const QIcon closed = box_->style()->standardIcon(QStyle::SP_DirClosedIcon);
        for (const Row& r : rows) {
            // Deeper folders stand further in from the reading side.
            const QString shown = QString(r.depth * 3, QLatin1Char(' ')) + leftToRight(r.name);
            auto* item = new QListWidgetItem(r.open ? open : closed, shown, box_);
            item->setData(Qt::UserRole, r.path);
            item->setData(Qt::AccessibleTextRole, r.name);
        }
        if (current >= 0) box_->setCurrentRow(current);
    }

    DirListBox& dir_;
    QListWidget* box_;
    std::string shownPath_ = "\x01";
    QStringList shownPaths_;
};

class FileView : public ControlView {
public:
    FileView(FormWindow& w, FileListBox& f, QWidget* parent) : ControlView(w, f), files_(f) {
        box_ = new QListWidget(parent);
        widget_ = box_;
        w.adopt(box_->viewport(), *this);
        QObject::connect(box_, &QListWidget::itemClicked, box_,
                         [this](QListWidgetItem* item) { chosen(item); });
        // Return takes the file the keys highlighted, as a click takes it.
        onReturn(*box_, [this] { chosen(box_->currentItem()); });
        QObject::connect(box_, &QListWidget::itemDoubleClicked, box_, [this] {
            input([this](Application& app) { app.dblClick(files_); });
        });
    }
    void sync() override {
        if (shownPath_ != files_.path() || shownPattern_ != files_.pattern) refresh();
        QListWidgetItem* want = nullptr;
        for (int i = 0; i < box_->count() && !files_.fileName->empty(); ++i)
            if (box_->item(i)->data(Qt::UserRole).toString() == qs(files_.fileName)) want = box_->item(i);
        if (box_->currentItem() != want) {
            QSignalBlocker block(box_);
            box_->setCurrentItem(want);
        }
    }
    void focusedByUser() override { refresh(); }

private:
    void chosen(QListWidgetItem* item) {
        if (!item) return;
        const std::string name = std8(item->data(Qt::UserRole).toString());
        input([this, name](Application& app) { app.chooseFile(files_, name); });
    }
    void refresh() {
        shownPath_ = files_.path();
        shownPattern_ = files_.pattern;
        const QStringList names = toList(files_.files());
        if (names == shown_) return;
        shown_ = names;
        QSignalBlocker block(box_);
        box_->clear();
        for (const QString& n : names) {
            auto* item = new QListWidgetItem(leftToRight(n), box_);
            item->setData(Qt::UserRole, n);
            item->setData(Qt::AccessibleTextRole, n);
        }
    }

    FileListBox& files_;
    QListWidget* box_;
    std::string shownPath_ = "\x01", shownPattern_;
    QStringList shown_;
};

// ------------------------------------------------------------------ line

class LineWidget : public QWidget {
public:
    using QWidget::QWidget;
    QLineF line;  // in the widget's pixels
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::WindowText), 1));
        p.drawLine(line);
    }
};

class LineView : public ControlView {
public:
    LineView(FormWindow& w, LineShape& l, QWidget* parent) : ControlView(w, l), shape_(l) {
        line_ = new LineWidget(parent);
        line_->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget_ = line_;
    }
    bool drawnOnSurface() const override { return true; }
    void sync() override {
        // The widget spans the line's box.
        const double left = std::min(shape_.x1, shape_.x2);
        const double right = std::max(shape_.x1, shape_.x2);
        const double top = std::min(shape_.y1, shape_.y2);
        auto x = [&](double tx) { return (tx - left) * (line_->width() - 1) / std::max(1.0, right - left); };
        auto y = [&](double ty) {
            const double h = std::max(shape_.y1, shape_.y2) - top;
            return (ty - top) * (line_->height() - 1) / std::max(1.0, h);
        };
        QLineF l(x(shape_.x1), y(shape_.y1), x(shape_.x2), y(shape_.y2));
        if (l != line_->line) {
            line_->line = l;
            line_->update();
        }
    }

private:
    LineShape& shape_;
    LineWidget* line_;
};

// Timers draw nothing.
class NullView : public ControlView {
public:
    NullView(FormWindow& w, Control& c) : ControlView(w, c) {}
    void sync() override {}
};

}  // namespace

void ControlView::input(const std::function<void(Application&)>& fn) { window_.input(*this, fn); }

std::unique_ptr<ControlView> makeView(FormWindow& w, Control& c, QWidget* parent) {
    switch (c.kind()) {
        case ControlKind::Label: return std::make_unique<LabelView>(w, static_cast<Label&>(c), parent);
        case ControlKind::TextBox: {
            auto& box = static_cast<TextBox&>(c);
            if (box.multiLine) return std::make_unique<MultiLineView>(w, box, parent);
            return std::make_unique<LineEditView>(w, box, parent);
        }
        case ControlKind::CommandButton:
            return std::make_unique<ButtonView>(w, static_cast<CommandButton&>(c), parent);
        case ControlKind::CheckBox: return std::make_unique<CheckView>(w, static_cast<CheckBox&>(c), parent);
        case ControlKind::OptionButton:
            return std::make_unique<OptionView>(w, static_cast<OptionButton&>(c), parent);
        case ControlKind::ComboBox: return std::make_unique<ComboView>(w, static_cast<ComboBox&>(c), parent);
        case ControlKind::ListBox: return std::make_unique<ListView>(w, static_cast<ListBox&>(c), parent);
        case ControlKind::DataCombo:
            return std::make_unique<DataComboView>(w, static_cast<DataCombo&>(c), parent);
        case ControlKind::DataList: return std::make_unique<DataListView>(w, static_cast<DataList&>(c), parent);
        case ControlKind::Frame: return std::make_unique<FrameView>(w, static_cast<Frame&>(c), parent);
        case ControlKind::PictureBox:
            return std::make_unique<PictureView>(w, static_cast<PictureBox&>(c), parent);
        case ControlKind::Timer: return std::make_unique<NullView>(w, c);
        case ControlKind::DataControl: return std::make_unique<NavView>(w, static_cast<Adodc&>(c), parent);
        case ControlKind::DriveList:
            return std::make_unique<DriveView>(w, static_cast<DriveListBox&>(c), parent);
        case ControlKind::DirList: return std::make_unique<DirView>(w, static_cast<DirListBox&>(c), parent);
        case ControlKind::FileList: return std::make_unique<FileView>(w, static_cast<FileListBox&>(c), parent);
        case ControlKind::Line: return std::make_unique<LineView>(w, static_cast<LineShape&>(c), parent);
    }
    return std::make_unique<NullView>(w, c);
}

}  // namespace mk::qt
