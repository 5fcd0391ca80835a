// The data-transfer command with the real serial engine, receiving from the simulated meter
// (marrowby-cli simulate-meter) on a pseudo-terminal registered as the bridge's port.

#include "depth/document/depth_doc.h"
#include "depth/download/ui/data_transfer.h"
#include "tests/support/scripted_prompt.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace marrowby;

class TransferLinkTest : public QObject {
    Q_OBJECT

private slots:
    void wholeTransmissionReachesTheDocument() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("meter"));
        const QString map = dir.filePath(QStringLiteral("ports.map"));
        QFile f(map);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[serialcomm]\n\\Device\\Slabser0=COM5\n[ports]\nCOM5=" + link.toUtf8() + "\n");
        f.close();
        qputenv("MARROWBY_PORT_MAP", map.toLocal8Bit());

        QProcess meter;
        meter.start(QStringLiteral(MARROWBY_CLI),
                    {"simulate-meter", "--link", link, "--groups", "7", "--records", "40", "--rate",
                     "100000", "--timeout", "60"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 30000);

        tessera::ScriptedPrompt prompt;
        CMarrowbyDoc doc;
        doc.setPort(2);
        OnDataTransfer(doc, nullptr);

        QCOMPARE(prompt.messageTexts(), QStringList{QStringLiteral("数据传输完毕！")});
        QCOMPARE(doc.records.size(), size_t(7 * 40));
        QCOMPARE(doc.records.front().componentNo, 1);
        QCOMPARE(doc.records.back().componentNo, 7);
        QCOMPARE(doc.port(), 2);
        QVERIFY(meter.waitForFinished(30000));
        QCOMPARE(meter.exitCode(), 0);
        qunsetenv("MARROWBY_PORT_MAP");
    }
};

QTEST_MAIN(TransferLinkTest)
#include "transfer_link_test.moc"
