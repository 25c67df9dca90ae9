// Printed reports as a clerk reads them: every text inside its box and on
// the paper, figures whole, the PDF's text searchable in plain letters.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <csignal>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOption>
#include <QScreen>
#include <QAbstractItemView>

#include "qt/dialogs_qt.h"
#include "qt/report_painter.h"
#include "qt/report_preview.h"
#include "qt/text.h"
#include "qt_rig.h"
#include "reports/opener.h"

namespace mk::test {
namespace {

const std::string kLongName =  // 60 letters
    "مؤسسة الأمل للتجارة والتوريدات العامة والمقاولات والنقل البري";

// One row in the layout's table: the long name in every text field, the
// total in every amount, a date and a small number elsewhere.
void addLongRow(Database& db, const std::string& table) {
    const TableInfo& info = db.tableInfo(table);
    std::string names, values;
    for (const FieldInfo& f : info.fields) {
        std::string v;
        switch (f.type) {
            case FieldType::Text:
            case FieldType::Memo:
                v = "'" + (f.size > 0 && f.size < 60 ? std::string("نص") : kLongName) + "'";
                break;
            case FieldType::Double:
            case FieldType::Single: v = "1250.75"; break;
            case FieldType::Date: v = "'2026-12-01'"; break;
            case FieldType::AutoNumber: continue;
            default: v = "7"; break;
        }
        names += std::string(names.empty() ? "" : ", ") + quoteName(f.name);
        values += std::string(values.empty() ? "" : ", ") + v;
    }
    db.exec("INSERT INTO " + quoteName(info.name) + " (" + names + ") VALUES (" + values + ")");
}

// A PDF's text as a reader extracts it, without the direction marks the
// reader adds around runs.
QString pdfText(const QString& path, int page = 0) {
    QStringList args{QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0) args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args << path << QStringLiteral("-"));
    if (!p.waitForFinished(20000)) return {};
    QString text = QString::fromUtf8(p.readAllStandardOutput());
    text.remove(QRegularExpression(QStringLiteral("[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{2066}-\\x{2069}]")));
    return text;
}

bool hasPresentationForms(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c.unicode() >= 0xFB50 && c.unicode() <= 0xFDFF) ||
               (c.unicode() >= 0xFE70 && c.unicode() <= 0xFEFF);
    });
}

TEST(ReportPrint, EveryLayoutKeepsALongNameAndATotalInsideTheirBoxesAndSearchable) {
    QtRig rig;
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftotext"), {QStringLiteral("-v")}), 0)
        << "pdftotext (poppler-utils) reads the PDFs back";
    for (const ReportLayout& layout : reportLayouts()) {
        SCOPED_TRACE(layout.name);
        if (rig.db().tableInfo(layout.table).fields.empty()) continue;
        rig.db().exec("DELETE FROM " + quoteName(layout.table));
        addLongRow(rig.db(), layout.table);
        const RenderedReport report = renderReport(layout, rig.db(), rig.clock.now());
        ASSERT_EQ(report.rows.size(), 1u);
        const RenderedPage& page = report.pages[0];
        const std::vector<qt::PlacedText> placed = qt::placeTexts(report, page);
        for (size_t i = 0; i < placed.size(); ++i) {
            const RenderedText& t = page.texts[i];
            const QRectF& ink = placed[i].ink;
            if (placed[i].lines.empty()) continue;
            SCOPED_TRACE(t.text);
            EXPECT_GE(ink.left(), 0);
            EXPECT_LE(ink.right(), report.pageWidth);
            EXPECT_LE(ink.bottom(), report.pageHeight);
            // Inside its own box: from its left edge to its right, and its
            // lines within its height where it wraps.
            EXPECT_GE(ink.left(), t.x - 1);
            EXPECT_LE(ink.right(), t.x + t.width + 1);
            if (placed[i].lines.size() > 1) {
                EXPECT_LE(ink.height(), t.height + 1);
            }
            // Clear of every box beside it on its line.
            for (size_t j = 0; j < placed.size(); ++j) {
                const RenderedText& u = page.texts[j];
                if (j == i || placed[j].lines.empty()) continue;
                if (!(u.y < t.y + t.height && t.y < u.y + u.height)) continue;
                EXPECT_FALSE(ink.left() < placed[j].ink.right() && placed[j].ink.left() < ink.right())
                    << "runs into " << u.text;
            }
        }

        const QString path = QString::fromStdString((rig.root.path() / (layout.name + ".pdf")).string());
        ASSERT_TRUE(qt::writeReportPdf(report, path));
        const QString text = pdfText(path);
        EXPECT_FALSE(hasPresentationForms(text)) << text.toStdString();
        for (const QString& word : qt::qs(report.title).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            EXPECT_TRUE(text.contains(word)) << word.toStdString() << " in " << text.toStdString();
        for (const std::string& column : report.columns) {
            const FieldInfo& f = rig.db().tableInfo(layout.table)
                                     .fields[static_cast<size_t>(rig.db().tableInfo(layout.table).fieldIndex(column))];
            if (f.type == FieldType::Double || f.type == FieldType::Single) {
                EXPECT_TRUE(text.contains(QStringLiteral("1250.75"))) << column << ": " << text.toStdString();
            }
        }
    }
}

// A preview draws only the part of a page its window shows; that part
// looks as it does when the whole page is drawn, letters cut by its edges
// included.
TEST(ReportPrint, APartOfAPageIsDrawnAsInTheWholePage) {
    QtRig rig;
    for (int i = 0; i < 40; ++i)
        rig.db().exec("INSERT INTO BUYER (BUYER, PHONE) VALUES ('" + kLongName.substr(0, 20 + i % 30) + "', '" +
                      std::to_string(5000 + i) + "')");
    const ReportLayout* layout = nullptr;
    for (const ReportLayout& l : reportLayouts())
        if (l.name == "DataReport2") layout = &l;
    ASSERT_NE(layout, nullptr);
    const RenderedReport report = renderReport(*layout, rig.db(), rig.clock.now());
    ASSERT_FALSE(report.pages.empty());
    const QRectF target(10, 10, report.pageWidth / 15, report.pageHeight / 15);
    const QSize size = target.size().toSize() + QSize(20, 20);
    auto draw = [&](const QRect& exposed, bool partOnly) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setClipRect(exposed);
        qt::paintReportPage(p, report, 0, target, partOnly ? QRectF(exposed) : QRectF());
        return image;
    };
    const int w = size.width(), h = size.height();
    // Halves, a corner, and thin bands that cut through lines of text.
    for (const QRect& part : {QRect(w / 2, 0, w - w / 2, h), QRect(0, 0, w / 3, h / 2), QRect(0, h / 3, w, 7),
                              QRect(0, h / 2 + 3, w, 3), QRect(w / 4, 0, 5, h)}) {
        SCOPED_TRACE(qt::std8(QStringLiteral("%1,%2 %3x%4").arg(part.x()).arg(part.y()).arg(part.width()).arg(part.height())));
        EXPECT_EQ(draw(part, true), draw(part, false));
    }
}

// The preview of a report of several pages, opened as the program opens it.
struct PreviewTest : ::testing::Test {
    QtRig rig;
    qt::ReportPreview* preview = nullptr;

    void SetUp() override {
        for (int i = 0; i < 90; ++i)
            rig.db().exec("INSERT INTO BUYER (BUYER, PHONE) VALUES ('عميل " + std::to_string(i) + "', '" +
                          std::to_string(1000 + i) + "')");
        rig.frontEnd->act([&] { openReport(rig.app, "DataReport2"); });
        settle();
        preview = rig.frontEnd->preview("DataReport2");
        ASSERT_NE(preview, nullptr);
        preview->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(preview));
    }
    QToolButton* button(const char* action) const {
        for (QToolButton* b : preview->findChildren<QToolButton*>())
            if (b->defaultAction() && b->defaultAction()->objectName() == QLatin1String(action)) return b;
        return nullptr;
    }
    QString path(const std::string& name) const {
        return QString::fromStdString((rig.root.path() / name).string());
    }
    // A file saved before, that a save must not lose.
    static constexpr const char* kYesterday = "the work of yesterday";
    void saveYesterday(const QString& file) const {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(kYesterday);
    }
    static QByteArray contentOf(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// Calls answer once on the next modal window that satisfies `is`; a modal
// window nobody answers is closed after a while, so a test fails instead of
// waiting for ever. Returns the count of windows closed so.
struct Modals {
    int unanswered = 0;
    std::vector<std::pair<std::function<bool(QWidget&)>, std::function<void(QWidget&)>>> waiting;
    // A timer does not fire again inside its own handler: each look is
    // a timer of its own, so boxes opened by an answer are answered too.
    QObject context;
    int idle = 0;
    Modals() { next(); }
    void next() {
        QTimer::singleShot(10, &context, [this] {
            next();
            look();
        });
    }
    void look() {
        QWidget* m = QApplication::activeModalWidget();
        if (!m) return;
        for (auto it = waiting.begin(); it != waiting.end(); ++it)
            if (it->first(*m)) {
                auto answer = it->second;
                waiting.erase(it);
                idle = 0;
                answer(*m);
                return;
            }
        if (++idle > 200) {
            ++unanswered;
            idle = 0;
            if (auto* d = qobject_cast<QDialog*>(m)) d->reject();
        }
    }
    void on(const QString& name, std::function<void(QWidget&)> answer) {
        waiting.emplace_back([name](QWidget& w) { return w.objectName() == name; }, std::move(answer));
    }
    void onQtQuestion(std::function<void(QMessageBox&)> answer) {
        waiting.emplace_back(
            [](QWidget& w) { return qobject_cast<QMessageBox*>(&w) && w.objectName() != "MsgBox"; },
            [answer](QWidget& w) { answer(static_cast<QMessageBox&>(w)); });
    }
};

QString messageOf(QWidget& box) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    return label ? label->text() : QString();
}

void typeName(QWidget& dialog, const QString& name) {
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    // Put in whole, as pasted: the completer's list stays shut.
    edit->setText(name);
}

TEST_F(PreviewTest, KeysCloseItTurnItsPagesAndReachEveryButton) {
    auto focused = [&]() -> QWidget* {
        return QApplication::focusWidget() ? QApplication::focusWidget() : preview;
    };
    EXPECT_EQ(preview->page(), 0);
    preview->findChild<QScrollArea*>()->setFocus();
    QTest::keyClick(focused(), Qt::Key_PageDown);
    QTest::keyClick(focused(), Qt::Key_PageDown);
    EXPECT_EQ(preview->page(), 2);
    QTest::keyClick(focused(), Qt::Key_PageUp);
    EXPECT_EQ(preview->page(), 1);
    const QString print = QKeySequence(QKeySequence::Print).toString(QKeySequence::NativeText);
    EXPECT_TRUE(button("print")->toolTip().contains(print));
    EXPECT_TRUE(button("next")->toolTip().contains(QKeySequence(Qt::Key_PageDown).toString(QKeySequence::NativeText)));

    // Tab goes round every button (on a middle page all are enabled);
    // Return on the save button opens the save dialog on the report's title.
    std::set<std::string> reached;
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        if (auto* b = qobject_cast<QToolButton*>(QApplication::focusWidget()))
            if (b->defaultAction()) reached.insert(b->defaultAction()->objectName().toStdString());
    }
    EXPECT_EQ(reached, (std::set<std::string>{"print", "pdf", "first", "previous", "next", "last"}));
    for (int i = 0; i < 20 && QApplication::focusWidget() != button("pdf"); ++i)
        QTest::keyClick(focused(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), button("pdf"));
    Modals modals;
    QString suggested;
    modals.on("SavePdf", [&](QWidget& d) {
        suggested = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        static_cast<QDialog&>(d).reject();
    });
    QTest::keyClick(button("pdf"), Qt::Key_Return);
    EXPECT_EQ(suggested.toStdString(), "تقرير ببيانات العملاء.pdf");
    EXPECT_EQ(modals.unanswered, 0);

    preview->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(preview));
    ASSERT_NE(rig.app.report("DataReport2"), nullptr);
    QTest::keyClick(focused(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(preview->isVisible());
    // A closed preview holds its report's rows no more; opened again, it shows them anew.
    EXPECT_EQ(rig.app.report("DataReport2"), nullptr);
    rig.frontEnd->act([&] { openReport(rig.app, "DataReport2"); });
    settle();
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(&preview->report(), rig.app.report("DataReport2"));
}

TEST_F(PreviewTest, SavingNeverReplacesAFileUnaskedAndAFailedSaveSaysWhyAndAsksAgain) {
    saveYesterday(path("cust-copy.pdf"));

    // A name typed without ".pdf" over an existing file: asked, No keeps it.
    Modals modals;
    QString question;
    modals.on("SavePdf", [&](QWidget& d) {
        modals.onQtQuestion([&](QMessageBox& box) {
            question = box.text();
            box.button(QMessageBox::No)->click();
        });
        typeName(d, path("cust-copy"));
        QTest::keyClick(d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());  // still choosing
        static_cast<QDialog&>(d).reject();
    });
    QTest::mouseClick(button("pdf"), Qt::LeftButton);
    EXPECT_TRUE(question.contains(QStringLiteral("cust-copy.pdf"))) << question.toStdString();
    EXPECT_EQ(contentOf(path("cust-copy.pdf")), kYesterday);

    // Into a folder that is not there: told so, and the dialog again on
    // the same name; then saved.
    const QString missing = path("no such folder/report");
    QString told, offeredAgain;
    modals.on("SavePdf", [&](QWidget& d) {
        typeName(d, missing);
        QTest::keyClick(d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
    });
    modals.on("MsgBox", [&](QWidget& box) {
        told = messageOf(box);
        box.findChild<QPushButton*>(QStringLiteral("OK"))->click();
    });
    modals.on("SavePdf", [&](QWidget& d) {
        auto* dialog = static_cast<QFileDialog*>(&d);
        offeredAgain = dialog->selectedFiles().value(0);
        typeName(d, path("saved"));
        QTest::keyClick(d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
    });
    QTest::mouseClick(button("pdf"), Qt::LeftButton);
    EXPECT_TRUE(told.contains(QStringLiteral("المجلد غير موجود"))) << told.toStdString();
    EXPECT_EQ(offeredAgain.toStdString(), (missing + QStringLiteral(".pdf")).toStdString());
    EXPECT_TRUE(QFile::exists(path("saved.pdf")));
    EXPECT_EQ(modals.unanswered, 0);

    // A folder that cannot be written: told why.
    if (::geteuid() != 0) {  // root writes anywhere
        std::filesystem::create_directory(rig.root.path() / "locked");
        std::filesystem::permissions(rig.root.path() / "locked", std::filesystem::perms::owner_read |
                                                                     std::filesystem::perms::owner_exec);
        QString why;
        EXPECT_FALSE(qt::writeReportPdf(preview->report(), path("locked/x.pdf"), &why));
        EXPECT_TRUE(why.contains(QStringLiteral("صلاحية"))) << why.toStdString();
    }
}

// Once the progress of a write shows, `answer` runs on it at the next
// events the write lets through (a page later), as a person answers it.
struct OnProgress : QObject {
    std::function<void(QProgressDialog&)> answer;
    QString shown;  // its text when it showed
    explicit OnProgress(std::function<void(QProgressDialog&)> a) : answer(std::move(a)) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* e) override {
        auto* d = qobject_cast<QProgressDialog*>(watched);
        if (e->type() == QEvent::Show && d && d->objectName() == QStringLiteral("PageProgress") && shown.isEmpty()) {
            shown = d->labelText();
            QTimer::singleShot(0, d, [this, d] { answer(*d); });
        }
        return false;
    }
};

int pdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    if (!p.waitForFinished(20000)) return -1;
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Files of the folder but the test's database.
std::set<std::string> filesIn(const std::filesystem::path& dir) {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.is_regular_file() && e.path().extension() != ".MDB") out.insert(e.path().filename().string());
    return out;
}

struct LongReportTest : PreviewTest {
    void SetUp() override {
        PreviewTest::SetUp();
        rig.db().exec("WITH RECURSIVE n(i) AS (SELECT 90 UNION ALL SELECT i + 1 FROM n WHERE i < 499) "
                      "INSERT INTO BUYER (BUYER, PHONE) SELECT 'عميل ' || i, CAST(1000 + i AS TEXT) FROM n");
        rig.frontEnd->act([&] { openReport(rig.app, "DataReport2"); });
        settle();
        ASSERT_GT(preview->report().pages.size(), size_t{qt::ReportPreview::kQuietPages} + 2);
    }
    void saveAs(Modals& modals, const QString& name) {
        modals.on("SavePdf", [name](QWidget& d) {
            typeName(d, name);
            QTest::keyClick(d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
        });
    }
};

TEST_F(LongReportTest, AWholeReportGoesToItsFilePageForPageShowingItsProgress) {
    const RenderedReport& report = preview->report();
    const int pages = static_cast<int>(report.pages.size());
    Modals modals;
    saveAs(modals, path("all"));
    int done = 0;
    OnProgress progress([&](QProgressDialog& d) { done = d.value(); });
    QTest::mouseClick(button("pdf"), Qt::LeftButton);
    EXPECT_EQ(modals.unanswered, 0);
    EXPECT_TRUE(progress.shown.contains(QStringLiteral(" من %1").arg(pages))) << progress.shown.toStdString();
    EXPECT_GT(done, 0);

    // Page for page as the report lays them out, every text searchable.
    EXPECT_EQ(pdfPages(path("all.pdf")), pages);
    for (int page : {1, pages / 2, pages}) {
        SCOPED_TRACE(page);
        const QString text = pdfText(path("all.pdf"), page);
        for (const RenderedText& t : report.pages[static_cast<size_t>(page - 1)].texts)
            for (const QString& word : qt::qs(t.text).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                EXPECT_TRUE(text.contains(word)) << word.toStdString();
    }
    EXPECT_EQ(filesIn(rig.root.path()), std::set<std::string>{"all.pdf"});
}

TEST_F(LongReportTest, AStoppedOrFailedWriteLeavesNoFileUnderItsNameAndSaysSo) {
    saveYesterday(path("kept.pdf"));

    // Stopped half way over a file it was to replace: the file stays.
    Modals modals;
    QString told;
    saveAs(modals, path("kept"));
    modals.onQtQuestion([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    modals.on("MsgBox", [&](QWidget& box) {
        told = messageOf(box);
        box.findChild<QPushButton*>(QStringLiteral("OK"))->click();
    });
    OnProgress stop([](QProgressDialog& d) {
        if (auto* cancel = d.findChild<QPushButton*>()) QTest::mouseClick(cancel, Qt::LeftButton);
    });
    QTest::mouseClick(button("pdf"), Qt::LeftButton);
    EXPECT_FALSE(stop.shown.isEmpty());
    EXPECT_TRUE(told.contains(QStringLiteral("إلغاء"))) << told.toStdString();
    EXPECT_EQ(contentOf(path("kept.pdf")), kYesterday);
    EXPECT_EQ(filesIn(rig.root.path()), std::set<std::string>{"kept.pdf"});

    // Failed half way (no room for more than a few pages): told, asked
    // again, and nothing of it left.
    rlimit was{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &was), 0);
    rlimit small = was;
    small.rlim_cur = 16 * 1024;
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    told.clear();
    bool askedAgain = false;
    saveAs(modals, path("new"));
    modals.on("MsgBox", [&](QWidget& box) {
        told = messageOf(box);
        box.findChild<QPushButton*>(QStringLiteral("OK"))->click();
    });
    modals.on("SavePdf", [&](QWidget& d) {
        askedAgain = true;
        static_cast<QDialog&>(d).reject();
    });
    QTest::mouseClick(button("pdf"), Qt::LeftButton);
    ::setrlimit(RLIMIT_FSIZE, &was);
    std::signal(SIGXFSZ, signal);
    EXPECT_TRUE(told.contains(QStringLiteral("تعذر حفظ الملف"))) << told.toStdString();
    EXPECT_TRUE(askedAgain);
    EXPECT_EQ(filesIn(rig.root.path()), std::set<std::string>{"kept.pdf"});
    EXPECT_EQ(modals.unanswered, 0);

    // A print to a file stopped half way is written as a save is.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path("printed.pdf"));
    QString why;
    EXPECT_FALSE(qt::printReport(preview->report(), printer, 1, 99, [](int done, int) { return done < 2; }, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("إلغاء"))) << why.toStdString();
    EXPECT_EQ(printer.outputFileName(), path("printed.pdf"));
    EXPECT_EQ(filesIn(rig.root.path()), std::set<std::string>{"kept.pdf"});
}

TEST_F(PreviewTest, WithNoPrinterPrintSaysSoAndWritesNothingUnasked) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed";
    auto pdfsIn = [](const QString& dir) {
        return QDir(dir).entryList({QStringLiteral("*.pdf")}, QDir::Files).size();
    };
    const QString home = QDir::homePath();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const auto before = pdfsIn(home) + pdfsIn(documents) + pdfsIn(QDir::currentPath());
    Modals modals;
    QString told;
    modals.on("MsgBox", [&](QWidget& box) {
        told = messageOf(box);
        box.findChild<QPushButton*>(QStringLiteral("No"))->click();
    });
    QTest::mouseClick(button("print"), Qt::LeftButton);
    settle();
    EXPECT_TRUE(told.contains(QStringLiteral("لا توجد طابعة"))) << told.toStdString();
    EXPECT_EQ(modals.unanswered, 0);  // no print dialog came up
    EXPECT_EQ(pdfsIn(home) + pdfsIn(documents) + pdfsIn(QDir::currentPath()), before);

    // Yes offers the save dialog instead.
    bool offered = false;
    modals.on("MsgBox", [&](QWidget& box) { box.findChild<QPushButton*>(QStringLiteral("Yes"))->click(); });
    modals.on("SavePdf", [&](QWidget& d) {
        offered = true;
        static_cast<QDialog&>(d).reject();
    });
    QTest::mouseClick(button("print"), Qt::LeftButton);
    EXPECT_TRUE(offered);
}

TEST_F(PreviewTest, PreviewsOpenAtTheirPagesSizeEachBesideTheLast) {
    // The page's width at 100% fits the offscreen screen: the window is
    // as wide as the page and its scroll bar, no wider.
    const QRect area = preview->screen()->availableGeometry();
    const int page = preview->findChild<QScrollArea*>()->widget()->sizeHint().width();
    EXPECT_LE(preview->width(), std::min(area.width(), page + 80));
    EXPECT_GE(preview->width(), std::min(area.width() - 40, page));
    rig.frontEnd->act([&] { openReport(rig.app, "DataReport3"); });
    settle();
    qt::ReportPreview* second = rig.frontEnd->preview("DataReport3");
    ASSERT_NE(second, nullptr);
    // A step down and aside, or back at the corner where the step would
    // leave the screen.
    EXPECT_NE(second->pos(), preview->pos());
    EXPECT_TRUE(area.contains(QRect(second->pos(), second->size())));
}

// The page's scroll bars show their slider where it is and take clicks on
// their arrows.
TEST_F(PreviewTest, ItsScrollBarsShowTheirSliderWhereItIs) {
    auto* bar = preview->findChild<QScrollArea*>()->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_LT(bar->minimum(), bar->maximum());
    QStyleOptionSlider option;
    option.initFrom(bar);
    auto part = [&](QStyle::SubControl sc) {
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = option.sliderValue = bar->value();
        option.pageStep = bar->pageStep();
        option.singleStep = bar->singleStep();
        option.subControls = QStyle::SC_All;
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, sc, bar);
    };
    const QRgb slider = bar->palette().color(QPalette::Button).rgb();
    auto sliderAt = [&]() { return bar->grab().toImage().pixel(part(QStyle::SC_ScrollBarSlider).center()); };
    EXPECT_EQ(sliderAt(), slider);
    const QRect below = part(QStyle::SC_ScrollBarAddPage);
    ASSERT_FALSE(below.isEmpty());
    EXPECT_NE(bar->grab().toImage().pixel(below.center()), slider);
    const int before = bar->value();
    const QRect down = part(QStyle::SC_ScrollBarAddLine);
    for (int i = 0; i < 5; ++i) QTest::mouseClick(bar, Qt::LeftButton, {}, down.center());
    EXPECT_GT(bar->value(), before);
    EXPECT_EQ(sliderAt(), slider);
}

TEST(QtDialogs, QtsOwnDialogsSpeakArabic) {
    ensureQtApp();
    ASSERT_TRUE(qt::installQtArabic());
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);
    auto* buttons = files.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_TRUE(qt::readsRightToLeft(buttons->button(QDialogButtonBox::Cancel)->text()));
    EXPECT_NE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Print"));
}

}  // namespace
}  // namespace mk::test
