// The preview window of one report: its pages, paging, zoom, printing
// and saving as PDF.
#pragma once

#include <QMainWindow>

#include "platform/report.h"

class QAction;
class QKeyEvent;
class QComboBox;
class QLabel;
class QScrollArea;

namespace mk::qt {

class ReportPage;

class ReportPreview : public QMainWindow {
    Q_OBJECT
public:
    explicit ReportPreview(QWidget* parent = nullptr);
    ~ReportPreview() override;

    // Shows the report anew (a reopened report keeps its window). The
    // report is read where it lies, not copied: the application keeps
    // it until this window is closed.
    void setReport(const RenderedReport& report);
    const RenderedReport& report() const { return *report_; }
    int page() const { return page_; }  // 0-based
    void showPage(int index);
    double zoom() const { return zoom_; }
    void setZoom(double zoom);

    // Prints through the print dialog; with no printer installed, says so
    // and offers to save a PDF instead.
    void print();
    // Asks for a file name (the report's title suggested); saves every
    // page. A file is replaced only when the user agrees; a save that
    // fails says why and asks again.
    void saveAsPdf();
    // A write of more pages shows its progress.
    static constexpr int kQuietPages = 10;
    // Writes every page to `path`, showing the pages done of a long write
    // with a button that stops it; a stop or a failure is told.
    enum class Saved { Written, Stopped, Failed };
    Saved writePdf(const QString& path);
    // A key given to another window before this one is active: the action
    // it is the shortcut of (paging, closing) is taken; false when none.
    bool takeShortcut(const QKeyEvent& e);

signals:
    // The window was closed: it shows its report no more.
    void closed(const QString& reportName);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void updatePaging();
    void placeOnScreen();
    QString suggestedPath() const;

    RenderedReport empty_;
    const RenderedReport* report_ = &empty_;
    int page_ = 0;
    double zoom_ = 1.0;
    ReportPage* view_;
    QScrollArea* scroll_;
    QLabel* pageLabel_;
    QComboBox* zoomBox_;
    QAction *first_, *previous_, *next_, *last_;
};

}  // namespace mk::qt
