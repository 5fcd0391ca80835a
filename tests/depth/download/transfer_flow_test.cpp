// Headless flows of the data-transfer command and its progress dialog, driven by a scripted
// engine that posts the meter's bytes as PortByteEvents.

#include "tests/support/modal_dialog.h"

#include "common/ui/dialog_units.h"

#include "depth/document/depth_doc.h"
#include "depth/download/ui/data_transfer.h"
#include "depth/download/ui/transfer_dlg.h"
#include "tests/support/scripted_prompt.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace marrowby;
using tessera::PromptIcon;
using tessera::ScriptedPrompt;

namespace {

class ScriptedEngine : public PortEngine {
public:
    QByteArray bytes; // posted by StartWorker, in order
    bool openOk = true;
    QString openError;
    std::function<void()> afterBytes; // queued behind the bytes

    QStringList calls;
    QObject* owner = nullptr;
    int port = -1;
    std::string device;
    LineSettings line{0, 0, 0, 0};
    uint32_t mask = 0;
    ErrorHandler handler; // what the dialog installed

    bool Open(QObject* o, int portNumber, const std::string& devicePath, const LineSettings& ls,
              uint32_t eventMask) override {
        calls << QStringLiteral("Open");
        owner = o;
        port = portNumber;
        device = devicePath;
        line = ls;
        mask = eventMask;
        return openOk;
    }
    bool StartWorker() override {
        calls << QStringLiteral("StartWorker");
        post(bytes);
        if (afterBytes)
            QMetaObject::invokeMethod(owner, afterBytes, Qt::QueuedConnection);
        return true;
    }
    bool Close() override {
        calls << QStringLiteral("Close");
        return true;
    }
    QString lastOpenError() const override { return openError; }

    void post(const QByteArray& more) const {
        for (char c : more)
            QCoreApplication::postEvent(owner, new PortByteEvent(static_cast<uint8_t>(c), port));
    }
};

// What OnDataTransfer owns: forwards to an engine the test keeps.
class EngineRef : public PortEngine {
public:
    explicit EngineRef(ScriptedEngine& e) : m_e(e) {}
    bool Open(QObject* o, int n, const std::string& path, const LineSettings& line,
              uint32_t m) override {
        m_e.handler = errorHandler();
        return m_e.Open(o, n, path, line, m);
    }
    bool StartWorker() override { return m_e.StartWorker(); }
    bool Close() override { return m_e.Close(); }
    QString lastOpenError() const override { return m_e.lastOpenError(); }

private:
    ScriptedEngine& m_e;
};

class CountingView : public DocumentView {
public:
    QList<int> hints;
    void onUpdate(int hint) override { hints << hint; }
};

DepthRecord rec(int a, int b, int c, int d) {
    DepthRecord r;
    r.componentNo = a;
    r.crackNo = b;
    r.pointNo = c;
    r.depthValue = d;
    return r;
}

CTransferDlg* activeTransferDialog() {
    return qobject_cast<CTransferDlg*>(QApplication::activeModalWidget());
}

bool transferDialogVisible() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<CTransferDlg*>(w) && w->isVisible())
            return true;
    return false;
}

void sendByte(QObject* to, char c) {
    PortByteEvent e(static_cast<uint8_t>(c), 1);
    QCoreApplication::sendEvent(to, &e);
}

} // namespace

class TransferFlowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedEngine* m_engine = nullptr;
    CMarrowbyDoc* m_doc = nullptr;
    CountingView* m_view = nullptr;

    PortEngineFactory factory() {
        return [this] { return std::make_unique<EngineRef>(*m_engine); };
    }

    void usePortMap(const QByteArray& text) {
        const QString path = m_dir.filePath(QStringLiteral("ports.map"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();
        qputenv("MARROWBY_PORT_MAP", path.toLocal8Bit());
    }

private slots:
    void init() {
        // Never enumerate this machine's devices: an empty map unless a test gives one.
        usePortMap("");
        m_engine = new ScriptedEngine;
        m_doc = new CMarrowbyDoc;
        m_view = new CountingView;
        m_doc->addView(m_view);
        m_doc->records = {rec(9, 9, 9, 9)}; // left over from an earlier download
    }
    void cleanup() {
        delete m_doc;
        delete m_view;
        delete m_engine;
        qunsetenv("MARROWBY_PORT_MAP");
    }

    void completeTransferFillsDocumentReportsAndUpdatesViews() {
        ScriptedPrompt prompt;
        m_engine->bytes = "DE001002012034150013001095B";
        QString labelBeforeEnd;
        int rangeMax = -1, value = -1;
        m_engine->afterBytes = [&] {
            CTransferDlg* dlg = activeTransferDialog();
            QVERIFY(dlg);
            labelBeforeEnd = dlg->statusLabel()->text();
            rangeMax = dlg->progressBar()->maximum();
            value = dlg->progressBar()->value();
            m_engine->post("A");
        };
        int updatesWhenShown = -1;
        prompt.onShown = [&](const ScriptedPrompt::Shown&) {
            updatesWhenShown = m_view->hints.size();
        };

        OnDataTransfer(*m_doc, nullptr, factory());

        QCOMPARE(labelBeforeEnd, QStringLiteral("正在传送 第1组数据"));
        QCOMPARE(rangeMax, 2);
        QCOMPARE(value, 2);
        QCOMPARE(m_doc->records,
                 (std::vector<DepthRecord>{rec(1, 12, 34, 150), rec(1, 13, 1, 95)}));
        QCOMPARE(prompt.messageTexts(), QStringList{QStringLiteral("数据传输完毕！")});
        QCOMPARE(prompt.shown[0].caption, QStringLiteral("Tessaly"));
        QCOMPARE(prompt.shown[0].icon, PromptIcon::Exclamation);
        QCOMPARE(updatesWhenShown, 0); // the views update after the message
        QCOMPARE(m_view->hints, QList<int>{0});
        // The port opens with the meter's line settings and is closed on the way out.
        QCOMPARE(m_engine->calls.mid(0, 3),
                 (QStringList{QStringLiteral("Open"), QStringLiteral("StartWorker"),
                              QStringLiteral("Close")}));
        QCOMPARE(m_engine->port, 1);
        QCOMPARE(m_engine->line, (LineSettings{38400, 'N', 8, 1}));
        QCOMPARE(m_engine->mask, 9u);
        QVERIFY(!transferDialogVisible());
    }

    void bytesAfterTheEndAreIgnored() {
        ScriptedPrompt prompt;
        m_engine->bytes = "DE001001111111111BADE002001222222222BA";
        OnDataTransfer(*m_doc, nullptr, factory());
        QCOMPARE(m_doc->records, (std::vector<DepthRecord>{rec(1, 111, 111, 111)}));
        QCOMPARE(prompt.messageTexts(), QStringList{QStringLiteral("数据传输完毕！")});
    }

    void endBeforeStartCompletesWithAnEmptyDocument() {
        ScriptedPrompt prompt;
        m_engine->bytes = "A";
        OnDataTransfer(*m_doc, nullptr, factory());
        QVERIFY(m_doc->records.empty());
        QCOMPARE(prompt.messageTexts(), QStringList{QStringLiteral("数据传输完毕！")});
        QCOMPARE(m_view->hints, QList<int>{0});
    }

    void openFailureReportsAndCancelsBeforeShowing() {
        ScriptedPrompt prompt;
        m_engine->openOk = false;
        m_engine->openError = QStringLiteral("No such file or directory");
        bool visibleWhenShown = true;
        prompt.onShown = [&](const ScriptedPrompt::Shown&) {
            visibleWhenShown = transferDialogVisible();
        };

        OnDataTransfer(*m_doc, nullptr, factory());

        QCOMPARE(prompt.messageTexts(),
                 QStringList{QStringLiteral("打开端口失败！\nNo such file or directory")});
        QCOMPARE(prompt.shown[0].caption, QStringLiteral("Tessaly"));
        QCOMPARE(prompt.shown[0].icon, PromptIcon::None);
        QVERIFY(!visibleWhenShown);
        QVERIFY(!m_engine->calls.contains(QStringLiteral("StartWorker")));
        QVERIFY(m_engine->calls.contains(QStringLiteral("Close")));
        QVERIFY(m_doc->records.empty());
        QVERIFY(m_view->hints.isEmpty());
    }

    void openFailureWithoutReasonShowsTheBareMessage() {
        ScriptedPrompt prompt;
        m_engine->openOk = false;
        OnDataTransfer(*m_doc, nullptr, factory());
        QCOMPARE(prompt.messageTexts(), QStringList{QStringLiteral("打开端口失败！")});
    }

    void countMismatchHoldsLaterBytesUntilTheBoxCloses() {
        ScriptedPrompt prompt;
        // Group 1 announces 3 records and carries 2; group 2 (also short) and the end byte
        // arrive while the first box is open.
        m_engine->bytes = "DE001003001002003004005006B";
        const QByteArray later = "E002002777888999BA";
        int depth = 0, maxDepth = 0, boxes = 0;
        size_t recordsWhileOpen = 0;
        QString labelWhileOpen;
        int byteCountWhileOpen = -1;
        prompt.onShown = [&](const ScriptedPrompt::Shown& shown) {
            if (shown.text != QStringLiteral("数据接收个数有误"))
                return;
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            if (boxes++ == 0) {
                CTransferDlg* dlg = activeTransferDialog();
                QVERIFY(dlg);
                // Directly dispatched and queued bytes both have to wait.
                for (char c : later.left(8))
                    sendByte(dlg, c);
                m_engine->post(later.mid(8));
                QCoreApplication::processEvents();
                recordsWhileOpen = m_doc->records.size();
                labelWhileOpen = dlg->statusLabel()->text();
                byteCountWhileOpen = dlg->parser().byteCount();
            }
            --depth;
        };

        OnDataTransfer(*m_doc, nullptr, factory());

        QCOMPARE(maxDepth, 1); // the second box came only after the first had closed
        QCOMPARE(boxes, 2);
        QCOMPARE(recordsWhileOpen, size_t(2)); // group 1 only
        QCOMPARE(labelWhileOpen, QStringLiteral("正在传送 第00组数据..."));
        QCOMPARE(byteCountWhileOpen, 0);
        QCOMPARE(m_doc->records, (std::vector<DepthRecord>{rec(1, 1, 2, 3), rec(1, 4, 5, 6),
                                                           rec(2, 777, 888, 999)}));
        QCOMPARE(prompt.messageTexts(), (QStringList{QStringLiteral("数据接收个数有误"),
                                                     QStringLiteral("数据接收个数有误"),
                                                     QStringLiteral("数据传输完毕！")}));
        QCOMPARE(prompt.shown[0].caption, QStringLiteral("Tessaly"));
        QCOMPARE(prompt.shown[0].icon, PromptIcon::Exclamation);
        QCOMPARE(m_view->hints, QList<int>{0});
    }

    // Esc, Enter and the close box all cancel: the complete groups stay in the document, the
    // user is told how many groups and rows were kept, and the views show them once the check
    // about their edited rows allows it. Never "数据传输完毕！" before the end byte.
    void everyCancelKeepsTheCompleteGroupsAndShowsThem() {
        const QString keptTwo =
            QStringLiteral("数据传输未完成，保留了完整接收的 2 组数据（共 2 行）。");
        struct Case {
            const char* name;
            std::function<void(CTransferDlg*)> cancel;
            bool mayReplace;
        };
        const Case cases[] = {
            {"Esc", [](CTransferDlg* d) { QTest::keyClick(d, Qt::Key_Escape); }, true},
            {"Enter", [](CTransferDlg* d) { QTest::keyClick(d, Qt::Key_Return); }, true},
            {"keypad Enter",
             [](CTransferDlg* d) { QTest::keyClick(d, Qt::Key_Enter, Qt::KeypadModifier); }, true},
            {"close box", [](CTransferDlg* d) { d->close(); }, true},
            {"Esc, edited rows kept", [](CTransferDlg* d) { QTest::keyClick(d, Qt::Key_Escape); },
             false},
        };
        for (const Case& c : cases) {
            ScriptedPrompt prompt;
            m_view->hints.clear();
            m_engine->calls.clear();
            m_engine->bytes = "DE001001111111111BE002001222222222BE003001333";
            m_engine->afterBytes = [&] {
                CTransferDlg* dlg = activeTransferDialog();
                QVERIFY(dlg);
                QCOMPARE(dlg->groupsDone(), 2);
                c.cancel(dlg);
            };
            int checks = 0, updatesAtCheck = -1;
            OnDataTransfer(*m_doc, nullptr, factory(), [&] {
                ++checks;
                updatesAtCheck = m_view->hints.size();
                return c.mayReplace;
            });
            QCOMPARE(m_doc->records,
                     (std::vector<DepthRecord>{rec(1, 111, 111, 111), rec(2, 222, 222, 222)}));
            QVERIFY2(prompt.messageTexts() == QStringList{keptTwo}, c.name);
            QCOMPARE(prompt.shown[0].caption, QStringLiteral("Tessaly"));
            QCOMPARE(checks, 1);
            QCOMPARE(updatesAtCheck, 0);
            QCOMPARE(m_view->hints, c.mayReplace ? QList<int>{0} : QList<int>{});
            QVERIFY(m_engine->calls.contains(QStringLiteral("Close")));
        }
    }

    void cancelWithoutACompleteGroupSaysAndChangesNothing() {
        ScriptedPrompt prompt;
        m_engine->bytes = "DE001002111111111";
        m_engine->afterBytes = [&] { QTest::keyClick(activeTransferDialog(), Qt::Key_Return); };
        int checks = 0;
        OnDataTransfer(*m_doc, nullptr, factory(), [&] { return ++checks > 0; });
        QVERIFY(m_doc->records.empty());
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(checks, 0);
        QVERIFY(m_view->hints.isEmpty());
    }

    void bridgePortWinsAndDocumentPortStays() {
        ScriptedPrompt prompt;
        usePortMap("[serialcomm]\n\\Device\\Serial0=COM1\n\\Device\\Slabser0=COM5\n"
                   "[ports]\nCOM5=/dev/null\n");
        m_doc->setPort(2);
        m_engine->bytes = "A";
        OnDataTransfer(*m_doc, nullptr, factory());
        QCOMPARE(m_engine->port, 5);
        QCOMPARE(m_engine->device, std::string("/dev/null")); // the map's device for COM5
        QCOMPARE(m_doc->port(), 2);
    }

    void withoutBridgeTheDocumentPortIsUsed() {
        ScriptedPrompt prompt;
        usePortMap("[serialcomm]\n\\Device\\Serial0=COM1\n\\Device\\USBSER000=COM6\n");
        m_doc->setPort(2);
        m_engine->bytes = "A";
        OnDataTransfer(*m_doc, nullptr, factory());
        QCOMPARE(m_engine->port, 2);
        QCOMPARE(m_engine->device, std::string()); // COM2 has no device in the map

        m_doc->setPort(1);
        usePortMap("");
        OnDataTransfer(*m_doc, nullptr, factory());
        QCOMPARE(m_engine->port, 1);
    }

    void olderBridgeNameIsFoundWhenTheFirstIsMissing() {
        ScriptedPrompt prompt;
        usePortMap("[serialcomm]\n\\Device\\Silabser0=COM8\n");
        m_engine->bytes = "A";
        OnDataTransfer(*m_doc, nullptr, factory());
        QCOMPARE(m_engine->port, 8);
    }

    void engineFailuresShowTheApplicationErrorBoxWithoutOwner() {
        ScriptedPrompt prompt;
        m_engine->afterBytes = [this] {
            m_engine->handler({"ReadFile()", EIO, m_engine->port});
            m_engine->post("A");
        };
        m_engine->bytes = "D";
        OnDataTransfer(*m_doc, nullptr, factory());
        QCOMPARE(prompt.count(ScriptedPrompt::Kind::Message), 2); // the error, then the end
        const auto& box = prompt.shown.first();
        QCOMPARE(box.caption, QStringLiteral("Application Error"));
        QCOMPARE(box.icon, PromptIcon::Stop);
        QVERIFY2(
            box.text.startsWith(QStringLiteral("WARNING:  ReadFile() Failed with the following "
                                               "error: \n")),
            qPrintable(box.text));
        QVERIFY(box.text.endsWith(QStringLiteral("\nPort: 1\n")));
        QCOMPARE(prompt.shown.last().text, QStringLiteral("数据传输完毕！"));
    }

    void dialogLooksAsItShould() {
        std::vector<DepthRecord> records;
        CTransferDlg dlg(records, 3, "/dev/ttyUSB0", *m_engine);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("正在运行  请稍候..."));
        QCOMPARE(dlg.statusLabel()->text(), QStringLiteral("正在传送 第00组数据..."));
        QCOMPARE(dlg.progressBar()->minimum(), 0);
        QCOMPARE(dlg.progressBar()->maximum(), 250);
        QCOMPARE(dlg.progressStep(), 1);
        QVERIFY(dlg.findChildren<QPushButton*>().isEmpty());
        QVERIFY(dlg.windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(dlg.port(), 3);
        QCOMPARE(dlg.groupsDone(), 0);

        // Dialog resource 189: 191 × 34 dialog units in MS Sans Serif 10 (13 pixels at 96 dots
        // per inch), the text and the bar at their rectangles.
        QCOMPARE(dlg.font().pixelSize(), 13);
        QCOMPARE(dlg.font().families().first(),
                 tessera::dialogFont(QStringLiteral("MS Sans Serif"), 10).families().first());
        const tessera::DialogBaseUnits units = tessera::dialogBaseUnits(dlg.font());
        QCOMPARE(dlg.size(), tessera::dialogRect(units, 0, 0, 191, 34).size());
        QCOMPARE(dlg.statusLabel()->geometry(), tessera::dialogRect(units, 6, 6, 120, 8));
        QCOMPARE(dlg.progressBar()->geometry(), tessera::dialogRect(units, 7, 17, 176, 13));
        QVERIFY(dlg.statusLabel()->width() >= dlg.statusLabel()->sizeHint().width());
    }

    void progressFollowsEachGroup() {
        ScriptedPrompt prompt;
        std::vector<DepthRecord> records;
        CTransferDlg dlg(records, 1, {}, *m_engine);
        QList<QPair<int, int>> seen; // (maximum, value) after each group
        m_engine->bytes = "DE001003111111111222222222333333333B";
        m_engine->afterBytes = [&] {
            seen << qMakePair(dlg.progressBar()->maximum(), dlg.progressBar()->value());
            m_engine->post("E002001444444444B");
            QMetaObject::invokeMethod(
                &dlg,
                [&] {
                    seen << qMakePair(dlg.progressBar()->maximum(), dlg.progressBar()->value());
                    QCOMPARE(dlg.statusLabel()->text(), QStringLiteral("正在传送 第2组数据"));
                    m_engine->post("A");
                },
                Qt::QueuedConnection);
        };
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(seen, (QList<QPair<int, int>>{{3, 3}, {1, 1}}));
        QCOMPARE(records.size(), size_t(4));
        QCOMPARE(dlg.groupsDone(), 2);
    }
};

QTEST_MAIN(TransferFlowTest)
#include "transfer_flow_test.moc"
