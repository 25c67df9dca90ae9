#include "qt/report_preview.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QPointer>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStyle>
#include <QToolButton>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

#include "qt/accessible.h"
#include "qt/dialogs_qt.h"
#include "qt/report_painter.h"
#include "qt/text.h"

namespace mk::qt {

// One page at the preview's zoom, on white paper.
class ReportPage : public QWidget {
public:
    explicit ReportPage(ReportPreview& preview) : QWidget(nullptr), preview_(preview) {
        setAccessibleName(QStringLiteral("page"));
    }
    QSize pagePixels() const {
        const RenderedReport& r = preview_.report();
        const double k = preview_.zoom() * logicalDpiX() / 1440.0;
        return QSize(static_cast<int>(r.pageWidth * k), static_cast<int>(r.pageHeight * k));
    }
    QSize sizeHint() const override { return pagePixels() + QSize(2 * kMargin, 2 * kMargin); }

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        const QRect paper(QPoint(kMargin, kMargin), pagePixels());
        // The shadow shows only as a strip below and one beside the paper,
        // in the shade black at 60/255 gives the background behind it:
        // an opaque fill, which needs no blending.
        const QColor ground = palette().color(QPalette::Dark);
        const auto shade = [](int c) { return c * (255 - 60) / 255; };
        const QColor shadow(shade(ground.red()), shade(ground.green()), shade(ground.blue()));
        p.fillRect(QRect(paper.right() + 1, paper.top() + 3, 3, paper.height()), shadow);
        p.fillRect(QRect(paper.left() + 3, paper.bottom() + 1, paper.width() - 3, 3), shadow);
        p.fillRect(paper, Qt::white);
        p.setPen(QColor(160, 160, 160));
        p.drawRect(paper.adjusted(0, 0, -1, -1));
        paintReportPage(p, preview_.report(), preview_.page(), QRectF(paper), QRectF(e->rect()));
    }

private:
    static constexpr int kMargin = 16;
    ReportPreview& preview_;
};

namespace {

// A key shown in a tip, kept whole inside the right-to-left text.
QString withKey(const QString& text, const QKeySequence& key) {
    return text + QStringLiteral(" (\u2066") + key.toString(QKeySequence::NativeText) +
           QStringLiteral("\u2069)");
}

// Pages done of all while a report of many pages is written, with a
// button that stops the write; a few pages are written with none.
class WriteProgress {
public:
    WriteProgress(QWidget* parent, const QString& doing, int pages) : doing_(doing) {
        if (pages <= ReportPreview::kQuietPages) return;
        dialog_ = std::make_unique<QProgressDialog>(parent);
        dialog_->setObjectName(QStringLiteral("PageProgress"));
        dialog_->setWindowTitle(parent->windowTitle());
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setCancelButtonText(QStringLiteral("إلغاء"));
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumDuration(0);
        dialog_->setRange(0, pages);
    }
    PageProgress tell() {
        if (!dialog_) return {};
        return [this](int done, int all) {
            dialog_->setLabelText(doing_.arg(done).arg(all));
            dialog_->setValue(done);  // draws it and takes the clicks
            return !dialog_->wasCanceled();
        };
    }
    bool stopped() const { return dialog_ && dialog_->wasCanceled(); }

private:
    QString doing_;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace

ReportPreview::ReportPreview(QWidget* parent) : QMainWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The bar sits in the window's own column above the page, drawn flat:
    // a main window's bevelled bar costs a thread hand-off per line drawn.
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QToolBar(QStringLiteral("report"), column);
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto button = [&](const QString& text, const QKeySequence& key, const char* name, auto slot) {
        QAction* a = bar->addAction(text, this, slot);
        a->setShortcut(key);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(withKey(text, key));
        return a;
    };
    button(QStringLiteral("طباعة"), QKeySequence::Print, "print", [this] { print(); });
    button(QStringLiteral("حفظ PDF"), QKeySequence::Save, "pdf", [this] { saveAsPdf(); });
    bar->addSeparator();
    first_ = button(QStringLiteral("الأولى"), QKeySequence(Qt::CTRL | Qt::Key_Home), "first",
                    [this] { showPage(0); });
    previous_ = button(QStringLiteral("السابقة"), QKeySequence(Qt::Key_PageUp), "previous",
                       [this] { showPage(page_ - 1); });
    pageLabel_ = new QLabel(bar);
    pageLabel_->setContentsMargins(8, 0, 8, 0);
    bar->addWidget(pageLabel_);
    next_ = button(QStringLiteral("التالية"), QKeySequence(Qt::Key_PageDown), "next",
                   [this] { showPage(page_ + 1); });
    last_ = button(QStringLiteral("الأخيرة"), QKeySequence(Qt::CTRL | Qt::Key_End), "last",
                   [this] { showPage(static_cast<int>(report_->pages.size()) - 1); });
    bar->addSeparator();
    zoomBox_ = new PickCombo(bar, [this](int i) {
        zoomBox_->setCurrentIndex(i);
        setZoom(zoomBox_->itemData(i).toDouble());
    });
    for (int z : {50, 75, 100, 125, 150, 200}) zoomBox_->addItem(QStringLiteral("%1%").arg(z), z / 100.0);
    zoomBox_->setCurrentIndex(2);
    zoomBox_->setAccessibleName(QStringLiteral("تكبير"));
    zoomBox_->setToolTip(QStringLiteral("تكبير"));
    connect(zoomBox_, &QComboBox::activated, this,
            [this](int i) { setZoom(zoomBox_->itemData(i).toDouble()); });
    bar->addWidget(zoomBox_);
    // Every button is reached by Tab and pressed by Return as by Space.
    for (QToolButton* b : bar->findChildren<QToolButton*>()) {
        if (b->objectName() == QStringLiteral("qt_toolbar_ext_button")) continue;
        b->setFocusPolicy(Qt::StrongFocus);
        b->installEventFilter(this);
    }
    auto* close = new QAction(this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    view_ = new ReportPage(*this);
    scroll_ = new QScrollArea(this);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setWidget(view_);
    layout->addWidget(bar);
    layout->addWidget(scroll_);
    setCentralWidget(column);
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        auto* b = qobject_cast<QToolButton*>(watched);
        if (b && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            b->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

ReportPreview::~ReportPreview() = default;

bool ReportPreview::takeShortcut(const QKeyEvent& e) {
    const QKeySequence typed(e.keyCombination());
    for (QAction* a : findChildren<QAction*>())
        if (a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut() == typed) {
            a->trigger();
            return true;
        }
    return false;
}

void ReportPreview::setReport(const RenderedReport& report) {
    const bool first = report_->name.empty();
    report_ = &report;
    setObjectName(qs(report.name));
    setWindowTitle(qs(report.caption));
    setAccessibleName(qs(report.caption));
    setAccessibleDescription(qs(report.name));
    page_ = 0;
    view_->resize(view_->sizeHint());
    updatePaging();
    view_->update();
    if (first) placeOnScreen();
}

void ReportPreview::closeEvent(QCloseEvent* e) {
    QMainWindow::closeEvent(e);
    if (!e->isAccepted()) return;
    const QString name = objectName();
    report_ = &empty_;
    emit closed(name);
}

void ReportPreview::placeOnScreen() {
    // Room for the page at its zoom, within the screen; each new preview
    // a step below and beside the last one opened.
    static QPointer<ReportPreview> lastOpened;
    const int frame = 2 * scroll_->frameWidth() + 4;
    QSize want = view_->sizeHint() +
                 QSize(style()->pixelMetric(QStyle::PM_ScrollBarExtent) + frame,
                       findChild<QToolBar*>()->sizeHint().height() + frame);
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) {
        resize(want);
        return;
    }
    const QRect area = s->availableGeometry();
    constexpr int kStep = 32, kDecoration = 40;
    want = want.boundedTo(area.size() - QSize(kDecoration, kDecoration));
    resize(want);
    QPoint at = area.center() - QPoint(want.width() / 2, want.height() / 2);
    if (lastOpened && lastOpened != this && lastOpened->isVisible()) {
        at = lastOpened->pos() + QPoint(kStep, kStep);
        // Back to the screen's corner when the step would leave it.
        if (at.x() + want.width() + kDecoration > area.right() + 1 ||
            at.y() + want.height() + kDecoration > area.bottom() + 1)
            at = area.topLeft();
    }
    move(at);
    lastOpened = this;
}

void ReportPreview::showPage(int index) {
    const int count = static_cast<int>(report_->pages.size());
    if (count == 0) return;
    page_ = std::clamp(index, 0, count - 1);
    updatePaging();
    view_->update();
}

void ReportPreview::setZoom(double zoom) {
    zoom_ = std::clamp(zoom, 0.25, 4.0);
    view_->resize(view_->sizeHint());
    view_->update();
}

void ReportPreview::updatePaging() {
    const int count = static_cast<int>(report_->pages.size());
    pageLabel_->setText(QStringLiteral("صفحة %1 من %2").arg(count ? page_ + 1 : 0).arg(count));
    first_->setEnabled(page_ > 0);
    previous_->setEnabled(page_ > 0);
    next_->setEnabled(page_ + 1 < count);
    last_->setEnabled(page_ + 1 < count);
}

void ReportPreview::print() {
    const int count = static_cast<int>(report_->pages.size());
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        if (askYesNo(this, windowTitle(),
                     QStringLiteral("لا توجد طابعة مثبتة على هذا الجهاز، ولم يطبع التقرير.\n"
                                    "هل تريد حفظ التقرير ملف PDF بدلاً من ذلك؟")))
            saveAsPdf();
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(report_->landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setDocName(qs(report_->title));
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setMinMax(1, std::max(1, count));
    figuresLeftToRight(dialog);
    if (dialog.exec() != QDialog::Accepted) return;
    int from = printer.fromPage(), to = printer.toPage();
    if (from == 0 && to == 0) {
        from = 1;
        to = count;
    }
    QString why;
    bool printed = false;
    {
        WriteProgress progress(this, QStringLiteral("جارى طباعة التقرير\nصفحة %1 من %2"), to - from + 1);
        printed = printReport(*report_, printer, from, to, progress.tell(), &why);
    }
    if (!printed) {
        tell(this, windowTitle(), why, true);
        return;
    }
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        tell(this, windowTitle(),
             QStringLiteral("طبع التقرير فى ملف وليس على ورق:\n%1")
                 .arg(QDir::toNativeSeparators(printer.outputFileName())),
             false);
}

QString ReportPreview::suggestedPath() const {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir(dir).exists()) dir = QDir::homePath();
    QString name = qs(report_->title);
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral(" "));
    name = name.simplified();
    if (name.isEmpty()) name = qs(report_->name);
    return QDir(dir).filePath(name + QStringLiteral(".pdf"));
}

void ReportPreview::saveAsPdf() {
    QString path = suggestedPath();
    for (;;) {
        QFileDialog dialog(this, QStringLiteral("حفظ التقرير PDF"));
        dialog.setObjectName(QStringLiteral("SavePdf"));
        // Qt's own dialog: it adds ".pdf" before it checks for a file to
        // replace, and speaks the program's language.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(QStringLiteral("PDF (*.pdf)"));
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        // The dialog stands in the file's folder, or where the part of
        // its path that is there ends, the rest of the path as the name.
        QDir base = QFileInfo(path).absoluteDir();
        while (!base.exists() && base.cdUp()) {
        }
        dialog.setDirectory(base);
        dialog.selectFile(base.relativeFilePath(path));
        figuresLeftToRight(dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
        path = dialog.selectedFiles().front();
        // A name with another ending gets ".pdf" here, and is asked about
        // here when that file is there.
        if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
            path += QStringLiteral(".pdf");
            if (QFileInfo::exists(path) &&
                !askYesNo(this, windowTitle(),
                          QStringLiteral("الملف %1 موجود بالفعل.\nهل تريد استبداله؟")
                              .arg(QFileInfo(path).fileName())))
                continue;
        }
        if (writePdf(path) != Saved::Failed) return;
    }
}

ReportPreview::Saved ReportPreview::writePdf(const QString& path) {
    QString why;
    bool stopped = false;
    {
        WriteProgress progress(this, QStringLiteral("جارى حفظ التقرير\nصفحة %1 من %2"),
                               static_cast<int>(report_->pages.size()));
        if (writeReportPdf(*report_, path, &why, progress.tell())) return Saved::Written;
        stopped = progress.stopped();
    }
    tell(this, windowTitle(), why, !stopped);
    return stopped ? Saved::Stopped : Saved::Failed;
}

}  // namespace mk::qt
