// Printed reports as a clerk reads them: every text inside its box and on
// the paper, figures whole, the PDF's text searchable in plain letters.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include "qt/report_painter.h"
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
QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                          QStringLiteral("-")});
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

}  // namespace
}  // namespace mk::test
