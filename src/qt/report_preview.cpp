#include "qt/report_preview.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QToolBar>

#include "qt/accessible.h"
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
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect paper(QPoint(kMargin, kMargin), pagePixels());
        p.fillRect(paper.translated(3, 3), QColor(0, 0, 0, 60));
        p.fillRect(paper, Qt::white);
        p.setPen(QColor(160, 160, 160));
        p.drawRect(paper.adjusted(0, 0, -1, -1));
        paintReportPage(p, preview_.report(), preview_.page(), QRectF(paper));
    }

private:
    static constexpr int kMargin = 16;
    ReportPreview& preview_;
};

ReportPreview::ReportPreview(QWidget* parent) : QMainWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* bar = addToolBar(QStringLiteral("report"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* printAction = bar->addAction(QStringLiteral("طباعة"), this, &ReportPreview::print);
    printAction->setShortcut(QKeySequence::Print);
    printAction->setObjectName(QStringLiteral("print"));
    QAction* pdf = bar->addAction(QStringLiteral("حفظ PDF"), this, &ReportPreview::saveAsPdf);
    pdf->setShortcut(QKeySequence::Save);
    pdf->setObjectName(QStringLiteral("pdf"));
    bar->addSeparator();
    first_ = bar->addAction(QStringLiteral("الأولى"), this, [this] { showPage(0); });
    previous_ = bar->addAction(QStringLiteral("السابقة"), this, [this] { showPage(page_ - 1); });
    pageLabel_ = new QLabel(bar);
    pageLabel_->setContentsMargins(8, 0, 8, 0);
    bar->addWidget(pageLabel_);
    next_ = bar->addAction(QStringLiteral("التالية"), this, [this] { showPage(page_ + 1); });
    last_ = bar->addAction(QStringLiteral("الأخيرة"), this,
                           [this] { showPage(static_cast<int>(report_->pages.size()) - 1); });
    bar->addSeparator();
    zoomBox_ = new PickCombo(bar, [this](int i) {
        zoomBox_->setCurrentIndex(i);
        setZoom(zoomBox_->itemData(i).toDouble());
    });
    for (int z : {50, 75, 100, 125, 150, 200}) zoomBox_->addItem(QStringLiteral("%1%").arg(z), z / 100.0);
    zoomBox_->setCurrentIndex(2);
    zoomBox_->setAccessibleName(QStringLiteral("تكبير"));
    connect(zoomBox_, &QComboBox::activated, this,
            [this](int i) { setZoom(zoomBox_->itemData(i).toDouble()); });

    bar->addWidget(zoomBox_);

    view_ = new ReportPage(*this);
    scroll_ = new QScrollArea(this);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setWidget(view_);
    setCentralWidget(scroll_);
}

ReportPreview::~ReportPreview() = default;

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
    if (first) {
        // Room for a whole page width, within the screen.
        QSize want = view_->sizeHint() + QSize(40, 80);
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            const QRect area = s->availableGeometry();
            want = want.boundedTo(QSize(area.width() * 9 / 10, area.height() * 9 / 10));
            resize(want);
            move(area.center() - QPoint(want.width() / 2, want.height() / 2));
        } else {
            resize(want);
        }
    }
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

void ReportPreview::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_PageDown: showPage(page_ + 1); return;
        case Qt::Key_PageUp: showPage(page_ - 1); return;
        case Qt::Key_Home:
            if (e->modifiers() & Qt::ControlModifier) return showPage(0);
            break;
        case Qt::Key_End:
            if (e->modifiers() & Qt::ControlModifier)
                return showPage(static_cast<int>(report_->pages.size()) - 1);
            break;
        default: break;
    }
    QMainWindow::keyPressEvent(e);
}

void ReportPreview::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(reportPageLayout(*report_));
    printer.setDocName(qs(report_->caption));
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, std::max(1, static_cast<int>(report_->pages.size())));
    if (dialog.exec() != QDialog::Accepted) return;
    int from = printer.fromPage(), to = printer.toPage();
    if (from == 0 && to == 0) {
        from = 1;
        to = static_cast<int>(report_->pages.size());
    }
    if (!printReport(*report_, printer, from, to))
        QMessageBox::warning(this, windowTitle(), QStringLiteral("تعذرت الطباعة."));
}

void ReportPreview::saveAsPdf() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir(dir).exists()) dir = QDir::homePath();
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("حفظ التقرير PDF"),
                                                QDir(dir).filePath(qs(report_->name) + QStringLiteral(".pdf")),
                                                QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    if (!writeReportPdf(*report_, path))
        QMessageBox::warning(this, windowTitle(), QStringLiteral("تعذر حفظ الملف:\n") + path);
}

}  // namespace mk::qt
