// The report commands of a depth window: print, direct print, print preview and PDF export are
// handled (so enabled) by every view, and the PDF export prints the view's own rows.

#include "depth/app/ui/main_frame.h"
#include "depth/app/ui/marrowby_app.h"
#include "depth/app/ui/marrowby_view.h"
#include "tests/support/scripted_prompt.h"

#include <QAction>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace marrowby;
using tessera::ScriptedPrompt;

namespace {

const int kReportCommands[] = {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW,
                               ID_EXPORT_PDF};

std::shared_ptr<CMarrowbyDoc> docWith(int n) {
    auto doc = std::make_shared<CMarrowbyDoc>();
    doc->title = "测深文档1";
    for (int i = 0; i < n; ++i)
        doc->appendRecord({i / 10, i, i % 7, 100 + i, ""});
    return doc;
}

int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return static_cast<int>(QString::fromLatin1(f.readAll()).count(page));
}

} // namespace

class ReportViewTest : public QObject {
    Q_OBJECT
private slots:
    void viewHandlesTheFourReportCommands() {
        for (int rows : {0, 3}) {
            CMarrowbyView view(docWith(rows));
            for (int id : kReportCommands)
                QVERIFY2(view.handlesCommand(id), qPrintable(QString::number(id)));
        }
    }

    void pdfExportPrintsTheViewsRows() {
        CMarrowbyView view(docWith(120));
        view.onUpdate(0);
        QCOMPARE(view.rows().size(), size_t(120));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        ScriptedPrompt prompt;
        prompt.fileNames << path;
        view.onCommand(ID_EXPORT_PDF);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::SaveFile), 1);
        QCOMPARE(prompt.shown.first().request.filter, QStringLiteral("PDF 文件 (*.pdf)"));
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Message), 0);
        QCOMPARE(pdfPages(path), 3);
    }

    void pdfExportFailureIsReported() {
        CMarrowbyView view(docWith(2));
        QTemporaryDir dir;
        ScriptedPrompt prompt;
        prompt.fileNames << dir.filePath(QStringLiteral("missing/report.pdf"));
        view.onCommand(ID_EXPORT_PDF);
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Message), 1);
        QCOMPARE(prompt.shown.last().caption, QStringLiteral("Tessaly"));
        QCOMPARE(prompt.shown.last().icon, tessera::PromptIcon::Exclamation);
    }

    void menuCommandsAreEnabledWhileADepthWindowIsActive() {
        CMarrowbyApp app;
        QVERIFY(app.InitInstance({}));
        CMainFrame* frame = app.mainFrame();
        for (int id : kReportCommands) {
            QVERIFY2(frame->isCommandEnabled(id), qPrintable(QString::number(id)));
            QVERIFY(frame->action(id)->isEnabled());
        }
    }
};

QTEST_MAIN(ReportViewTest)
#include "report_view_test.moc"
