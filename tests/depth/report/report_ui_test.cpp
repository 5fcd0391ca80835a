// Headless tests of the depth report's platform code: font matching (Chinese must render),
// the page rendering on a recording paint device, the PDF output and the export command.

#include "common/error_text.h"
#include "common/qt/page_painter.h"
#include "depth/report/qt/report_pdf.h"
#include "depth/report/report_page.h"
#include "depth/report/ui/report_print.h"
#include "tests/support/recording_device.h"
#include "tests/support/scripted_prompt.h"

#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QGlyphRun>
#include <QImage>
#include <QPageRanges>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QtTest>

#include <unistd.h>

using namespace marrowby;
using tessera::test::RecordingDevice;

namespace {

std::vector<DepthRow> numberedRows(int n) {
    std::vector<DepthRow> rows;
    for (int i = 1; i <= n; ++i) {
        const std::string first = "c" + std::to_string(i);
        rows.emplace_back(first, "1", "2", std::to_string(100 + i), "");
    }
    return rows;
}

// The glyph runs of `text` in `font`; glyph index 0 is the font's "missing glyph" box.
bool rendersWithoutBoxes(const QFont& font, const QString& text, QStringList* fontsUsed) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        if (fontsUsed)
            *fontsUsed << run.rawFont().familyName();
        for (quint32 g : run.glyphIndexes()) {
            if (g == 0)
                return false;
            ++glyphs;
        }
    }
    return glyphs >= text.size();
}

int pdfPageCount(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class ReportUiTest : public QObject {
    Q_OBJECT
private slots:
    void fontsStandInForSongTiAndArial();
    void chineseTextRendersInEveryReportFont();
    void fontSizesAndWeightsAreKept();
    void pagesOf120RowsOnARecordingDevice();
    void recordedGeometryUsesTheDevicesResolution();
    void pdfOf120RowsHasThreeA4Pages();
    void pdfPageThreeTextHoldsRows101To120();
    void pdfWriteFailsCleanly();
    void exportCommandAsksForAPdfNameAndWrites();
    void exportCommandReportsAFailure();
    void exportCommandCancelled();
    void renderedPageHasInkInTheTitleAndTable();
    void previewShowsTheSamePageCount();
    void landscapePrintKeepsEveryRow();
};

void ReportUiTest::fontsStandInForSongTiAndArial() {
    const QStringList song = tessera::fontFamiliesFor(QStringLiteral("宋体"));
    QVERIFY(!song.isEmpty());
    const QStringList installed = QFontDatabase::families();
    QVERIFY2(installed.contains(song.first(), Qt::CaseInsensitive), qPrintable(song.first()));
    // The stand-in for 宋体 covers Simplified Chinese itself.
    QVERIFY2(QFontDatabase::writingSystems(song.first()).contains(QFontDatabase::SimplifiedChinese),
             qPrintable(song.first()));
    if (!installed.contains(QStringLiteral("SimSun")) &&
        installed.contains(QStringLiteral("Noto Serif CJK SC")))
        QCOMPARE(song.first(), QStringLiteral("Noto Serif CJK SC"));

    const QStringList arial = tessera::fontFamiliesFor(QStringLiteral("Arial"));
    QVERIFY(!arial.isEmpty());
    QVERIFY2(installed.contains(arial.first(), Qt::CaseInsensitive), qPrintable(arial.first()));
    if (!installed.contains(QStringLiteral("Arial")) &&
        installed.contains(QStringLiteral("Liberation Sans")))
        QCOMPARE(arial.first(), QStringLiteral("Liberation Sans"));
    // Chinese fallbacks follow the Latin sans.
    bool hasChinese = false;
    for (const QString& f : arial)
        hasChinese |= QFontDatabase::writingSystems(f).contains(QFontDatabase::SimplifiedChinese);
    QVERIFY(hasChinese);

    // The face itself is used when it is installed.
    const QString someInstalled = installed.first();
    QCOMPARE(tessera::fontFamiliesFor(someInstalled).first(), someInstalled);
}

void ReportUiTest::chineseTextRendersInEveryReportFont() {
    const auto g = depthReportGeometry({600, 600, 4960, 7016});
    QStringList used;
    QVERIFY(rendersWithoutBoxes(tessera::qFontFor(g.titleFont),
                                QStringLiteral("裂缝测深仪数据报告"), &used));
    QVERIFY(rendersWithoutBoxes(tessera::qFontFor(g.headerFont),
                                QStringLiteral("构件号裂缝号测点号裂缝深度值备注"), &used));
    // A Chinese remark in the Arial body font falls back to a CJK font, never to boxes.
    QStringList bodyFonts;
    QVERIFY(rendersWithoutBoxes(tessera::qFontFor(g.bodyFont), QStringLiteral("左侧裂缝 12abc -7"),
                                &bodyFonts));
    QVERIFY2(bodyFonts.size() >= 2, qPrintable(bodyFonts.join(','))); // Latin + CJK
    // The digits come from the Arial stand-in.
    QVERIFY(rendersWithoutBoxes(tessera::qFontFor(g.bodyFont), QStringLiteral("0123456789"),
                                &bodyFonts));
}

void ReportUiTest::fontSizesAndWeightsAreKept() {
    QFont title = tessera::qFontFor({"宋体", 125, 700});
    QCOMPARE(title.pixelSize(), 125);
    QCOMPARE(title.weight(), QFont::Bold);
    QVERIFY(!title.italic() && !title.underline() && !title.strikeOut());
    QFont body = tessera::qFontFor({"Arial", 83, 400});
    QCOMPARE(body.pixelSize(), 83);
    QCOMPARE(body.weight(), QFont::Normal);
    QCOMPARE(QFontInfo(body).pixelSize(), 83);
}

void ReportUiTest::pagesOf120RowsOnARecordingDevice() {
    const auto rows = numberedRows(120);
    RecordingDevice device(600, 600, 4960, 7016);
    QPainter painter(&device);
    const int drawn = tessera::drawPages(painter, DepthReport(rows),
                                         tessera::pageList({}, depthReportPageCount(rows.size())),
                                         [&] { return device.newPage(); });
    painter.end();
    QCOMPARE(drawn, 3);
    QCOMPARE(device.pages.size(), 3);

    for (int p = 0; p < 3; ++p) {
        const QStringList texts = device.pages[p].textStrings();
        QCOMPARE(texts.count(QStringLiteral("裂缝测深仪数据报告")), 1);
        QVERIFY(texts.contains(QStringLiteral("裂缝深度值")));
    }
    auto firstCells = [&](int page) {
        QStringList out;
        for (const QString& t : device.pages[page].textStrings())
            if (t.startsWith('c'))
                out << t;
        return out;
    };
    QStringList expected3;
    for (int r = 101; r <= 120; ++r)
        expected3 << QStringLiteral("c%1").arg(r);
    QCOMPARE(firstCells(2), expected3);
    QCOMPARE(firstCells(0).size(), 50);
    QCOMPARE(firstCells(0).first(), QStringLiteral("c1"));
    QCOMPARE(firstCells(1).first(), QStringLiteral("c51"));
    QCOMPARE(firstCells(1).last(), QStringLiteral("c100"));

    // Page 3: the header line, 20 row lines, the bottom line at 133.5 mm (y = 3153), six
    // verticals from 673 to 3153.
    const auto& lines = device.pages[2].lines;
    QCOMPARE(lines.size(), 1 + 20 + 1 + 6);
    QCOMPARE(lines[0], QLineF(354, 673, 4488, 673));
    QCOMPARE(lines[21], QLineF(354, 3153, 4488, 3153));
    QCOMPARE(lines[22], QLineF(354, 673, 354, 3153));
    QCOMPARE(lines[27], QLineF(4488, 673, 4488, 3153));

    // The white fill of the printable area comes first.
    QVERIFY(!device.pages[2].rects.isEmpty());
    QCOMPARE(device.pages[2].rects.first(), QRectF(0, 0, 4960, 7016));
}

void ReportUiTest::recordedGeometryUsesTheDevicesResolution() {
    RecordingDevice device(300, 600, 2480, 7016);
    QPainter painter(&device);
    const auto rows = numberedRows(1);
    tessera::drawPages(painter, DepthReport(rows), {1}, {});
    painter.end();
    const auto& page = device.pages[0];
    QCOMPARE(page.lines[0], QLineF(177, 673, 2244, 673));
    QCOMPARE(page.lines.last(), QLineF(2244, 673, 2244, 909));
    // Fonts reach the engine at the requested pixel heights and weights.
    bool sawTitle = false, sawBody = false;
    for (const auto& t : page.texts) {
        if (t.text == QStringLiteral("裂缝测深仪数据报告")) {
            sawTitle = true;
            QCOMPARE(t.pixelSize, 125);
            QCOMPARE(t.weight, 700);
            // Centred vertically in 330..566: the baseline lies inside the title band.
            QVERIFY(t.pos.y() > 330 && t.pos.y() < 566);
        }
        if (t.text == QStringLiteral("c1")) {
            sawBody = true;
            QCOMPARE(t.pixelSize, 83);
            QCOMPARE(t.weight, 400);
            QVERIFY(t.pos.x() > 177 && t.pos.x() < 383);
            QVERIFY(t.pos.y() > 803 && t.pos.y() < 921);
        }
    }
    QVERIFY(sawTitle);
    QVERIFY(sawBody);
}

void ReportUiTest::pdfOf120RowsHasThreeA4Pages() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QString error;
    QVERIFY2(writeDepthReportPdf(path, numberedRows(120), 600, &error), qPrintable(error));
    const QByteArray pdf = readAll(path);
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(pdfPageCount(pdf), 3);
    // A4 portrait in points: 595 × 842.
    static const QRegularExpression box(
        QStringLiteral("/MediaBox \\[0 0 (\\d+)(?:\\.\\d+)? (\\d+)(?:\\.\\d+)?\\]"));
    const auto m = box.match(QString::fromLatin1(pdf));
    QVERIFY(m.hasMatch());
    QVERIFY(qAbs(m.captured(1).toInt() - 595) <= 1);
    QVERIFY(qAbs(m.captured(2).toInt() - 842) <= 1);

    QVERIFY(writeDepthReportPdf(path, {}, 600, &error));
    QCOMPARE(pdfPageCount(readAll(path)), 1);
    QVERIFY(writeDepthReportPdf(path, numberedRows(50), 300, &error));
    QCOMPARE(pdfPageCount(readAll(path)), 2);
    // No temporary files are left beside the report.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void ReportUiTest::pdfPageThreeTextHoldsRows101To120() {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils, installed by scripts/deps.sh) is not available");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QString error;
    QVERIFY2(writeDepthReportPdf(path, numberedRows(120), 600, &error), qPrintable(error));
    auto pageText = [&](int page) {
        QProcess proc;
        proc.start(pdftotext,
                   {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                    QString::number(page), QStringLiteral("-layout"), path, QStringLiteral("-")});
        proc.waitForFinished(30000);
        return QString::fromUtf8(proc.readAllStandardOutput());
    };
    const QString page3 = pageText(3);
    static const QRegularExpression cell(QStringLiteral("\\bc(\\d+)\\b"));
    QList<int> seen;
    for (auto it = cell.globalMatch(page3); it.hasNext();)
        seen << it.next().captured(1).toInt();
    QList<int> expected;
    for (int r = 101; r <= 120; ++r)
        expected << r;
    QCOMPARE(seen, expected);
    QVERIFY2(page3.contains(QStringLiteral("裂缝测深仪数据报告")), qPrintable(page3.left(400)));
    QVERIFY(page3.contains(QStringLiteral("裂缝深度值")));
    QVERIFY(pageText(4).trimmed().isEmpty());
}

void ReportUiTest::pdfWriteFailsCleanly() {
    QTemporaryDir dir;
    QString error;
    // A folder that does not exist.
    const QString missing = dir.filePath(QStringLiteral("no-such-folder/report.pdf"));
    QVERIFY(!writeDepthReportPdf(missing, numberedRows(3), 600, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(missing));

    // A "folder" that is a file.
    const QString plain = dir.filePath(QStringLiteral("plain"));
    {
        QFile f(plain);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    error.clear();
    QVERIFY(
        !writeDepthReportPdf(plain + QStringLiteral("/report.pdf"), numberedRows(3), 600, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(plain), QByteArray("x"));

    // An old report stays as it was when the new one cannot be made.
    const QString old = dir.filePath(QStringLiteral("old.pdf"));
    {
        QFile f(old);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old report");
    }
    error.clear();
    QVERIFY(!writeDepthReportPdf(old, numberedRows(3), 0, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(old), QByteArray("old report"));

    // A target name taken by a folder.
    const QString taken = dir.filePath(QStringLiteral("taken.pdf"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.pdf")));
    error.clear();
    QVERIFY(!writeDepthReportPdf(taken, numberedRows(3), 600, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(taken).isDir());

    // A folder without write permission (root ignores it, so only for other users).
    if (geteuid() != 0) {
        const QString ro = dir.filePath(QStringLiteral("ro"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ro")));
        const QString inRo = ro + QStringLiteral("/report.pdf");
        {
            QFile f(inRo);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old report");
        }
        QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner);
        error.clear();
        QVERIFY(!writeDepthReportPdf(inRo, numberedRows(3), 600, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(inRo), QByteArray("old report"));
        QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Nothing but what the test made is left in the folder (no temporary files).
    QStringList left =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    left.sort();
    QStringList expected{QStringLiteral("old.pdf"), QStringLiteral("plain"),
                         QStringLiteral("taken.pdf")};
    if (geteuid() != 0)
        expected << QStringLiteral("ro");
    expected.sort();
    QCOMPARE(left, expected);
}

void ReportUiTest::exportCommandAsksForAPdfNameAndWrites() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pdf"));
    tessera::ScriptedPrompt prompt;
    prompt.fileNames << path;
    exportDepthReportPdf(nullptr, numberedRows(51));
    QCOMPARE(prompt.count(tessera::ScriptedPrompt::Kind::SaveFile), 1);
    const auto& req = prompt.shown.first().request;
    QCOMPARE(req.filter, QStringLiteral("PDF 文件 (*.pdf)"));
    QCOMPARE(req.defaultExtension, QStringLiteral("pdf"));
    QVERIFY(req.confirmOverwrite);
    QCOMPARE(prompt.count(tessera::ScriptedPrompt::Kind::Message), 0);
    QCOMPARE(pdfPageCount(readAll(path)), 2);
}

void ReportUiTest::exportCommandReportsAFailure() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/out.pdf"));
    tessera::ScriptedPrompt prompt;
    prompt.fileNames << path;
    exportDepthReportPdf(nullptr, numberedRows(3));
    QCOMPARE(prompt.count(tessera::ScriptedPrompt::Kind::Message), 1);
    const auto& shown = prompt.shown.last();
    QCOMPARE(shown.caption, QStringLiteral("Tessaly"));
    QCOMPARE(shown.icon, tessera::PromptIcon::Exclamation);
    QVERIFY2(shown.text.contains(path), qPrintable(shown.text));
    QVERIFY2(shown.text.contains(QString::fromStdString(tessera::errorText(ENOENT))),
             qPrintable(shown.text));
    QVERIFY(!QFileInfo::exists(path));
}

void ReportUiTest::exportCommandCancelled() {
    tessera::ScriptedPrompt prompt; // no file name: the dialog is cancelled
    exportDepthReportPdf(nullptr, numberedRows(3));
    QCOMPARE(prompt.count(tessera::ScriptedPrompt::Kind::SaveFile), 1);
    QCOMPARE(prompt.count(tessera::ScriptedPrompt::Kind::Message), 0);
}

void ReportUiTest::renderedPageHasInkInTheTitleAndTable() {
    // Paint page 1 at 100 dpi into an image and look for dark pixels where the title, the
    // Chinese header texts and the lines must be.
    QImage image(827, 1169, QImage::Format_RGB32);
    image.setDotsPerMeterX(3937); // 100 dpi
    image.setDotsPerMeterY(3937);
    image.fill(Qt::red); // the report paints its own white background
    {
        QPainter painter(&image);
        const auto rows = numberedRows(3);
        tessera::drawPages(painter, DepthReport(rows), {1}, {});
    }
    QCOMPARE(image.logicalDpiX(), 100);
    auto darkIn = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += qGray(image.pixel(x, y)) < 128;
        return n;
    };
    auto px = [](double mm) { return static_cast<int>(mm * 100 * 0.03937007874015748); };
    QCOMPARE(image.pixel(5, 5), qRgb(255, 255, 255));
    QVERIFY(darkIn(px(15), px(14), px(185), px(24)) > 200);             // title
    QVERIFY(darkIn(px(15), px(29), px(32.5), px(34)) > 20);             // 构件号
    QVERIFY(darkIn(px(120), px(29), px(190), px(34)) > 10);             // 备注
    QVERIFY(darkIn(px(16), px(28.5) - 1, px(189), px(28.5) + 1) > 300); // header line
    QCOMPARE(darkIn(px(15), px(60), px(190), px(100)), 0);              // below the table
}

void ReportUiTest::previewShowsTheSamePageCount() {
    // The widget inside QPrintPreviewDialog, driven by the same rendering as printing.
    for (int rows : {0, 49, 50, 120}) {
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewWidget preview(&printer);
        const auto data = numberedRows(rows);
        connect(&preview, &QPrintPreviewWidget::paintRequested, &preview,
                [&data](QPrinter* p) { QVERIFY(tessera::printOn(*p, DepthReport(data))); });
        preview.updatePreview();
        QCOMPARE(preview.pageCount(), rows / 50 + 1);
    }
}

void ReportUiTest::landscapePrintKeepsEveryRow() {
    // 打印设置 set to landscape, then printed to a PDF file: rows that do not fit on the shorter
    // page go on to the next one instead of falling off its bottom edge.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils, installed by scripts/deps.sh) is not available");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("landscape.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    const auto rows = numberedRows(49);
    QString error;
    QVERIFY2(tessera::printOn(printer, DepthReport(rows), &error), qPrintable(error));
    QCOMPARE(pdfPageCount(readAll(path)), 2);
    QProcess proc;
    proc.start(pdftotext, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY(proc.waitForFinished(30000));
    const QString text = QString::fromUtf8(proc.readAllStandardOutput());
    static const QRegularExpression cell(QStringLiteral("\\bc(\\d+)\\b"));
    QList<int> seen, expected;
    for (auto it = cell.globalMatch(text); it.hasNext();)
        seen << it.next().captured(1).toInt();
    for (int r = 1; r <= 49; ++r)
        expected << r;
    QCOMPARE(seen, expected);

    // The preview counts the same pages.
    QPrintPreviewWidget preview(&printer);
    connect(&preview, &QPrintPreviewWidget::paintRequested, &preview,
            [&rows](QPrinter* p) { QVERIFY(tessera::printOn(*p, DepthReport(rows))); });
    preview.updatePreview();
    QCOMPARE(preview.pageCount(), 2);
}

QTEST_MAIN(ReportUiTest)
#include "report_ui_test.moc"
