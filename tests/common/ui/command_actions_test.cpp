// The QAction binding of the command chain: triggering routes along the current chain, and
// update() enables, disables and checks the actions from the targets' tables.

#include "common/ui/command_actions.h"

#include <QAction>
#include <QWidget>
#include <QtTest>

using namespace tessera;

namespace {

class Target : public CommandTarget {
public:
    CommandTable& table() { return commandTable(); }
};

} // namespace

class CommandActionsTest : public QObject {
    Q_OBJECT
private slots:
    void actionsFollowTheChainOfTheMoment() {
        QWidget owner;
        Target view, app;
        bool viewActive = true;
        QStringList ran;
        view.table().on(ID_FILE_SAVE, [&](int) { ran << QStringLiteral("view save"); });
        app.table()
            .on(ID_FILE_NEW, [&](int) { ran << QStringLiteral("app new"); })
            .on(
                ID_VIEW_TOOLBAR, [](int) {}, [](int, CommandState& s) { s.checked = false; });
        CommandActions actions(&owner, [&] {
            return viewActive ? CommandChain{&view, &app} : CommandChain{&app};
        });
        int updates = 0;
        connect(&actions, &CommandActions::updated, [&] { ++updates; });
        QAction* save =
            actions.add(ID_FILE_SAVE, QStringLiteral("保存(&S)"),
                        QStringLiteral("保存活动文档\n保存"), {QKeySequence(Qt::CTRL | Qt::Key_S)});
        QAction* fileNew = actions.add(ID_FILE_NEW, QStringLiteral("新建(&N)"));
        QAction* bar = actions.add(ID_VIEW_TOOLBAR, QStringLiteral("工具栏(&T)"));
        bar->setCheckable(true);
        bar->setChecked(true);

        QCOMPARE(save->statusTip(), QStringLiteral("保存活动文档"));
        QCOMPARE(save->toolTip(), QStringLiteral("保存"));
        QCOMPARE(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(save->data().toInt(), int(ID_FILE_SAVE));
        QCOMPARE(actions.action(ID_FILE_NEW), fileNew);

        actions.update();
        QVERIFY(save->isEnabled() && fileNew->isEnabled());
        QVERIFY(!bar->isChecked()); // the handler's checked state wins
        save->trigger();
        fileNew->trigger();
        QCOMPARE(ran, (QStringList{QStringLiteral("view save"), QStringLiteral("app new")}));

        viewActive = false;
        actions.update();
        QVERIFY(!save->isEnabled());
        QVERIFY(!actions.isEnabled(ID_FILE_SAVE));
        QVERIFY(!actions.route(ID_FILE_SAVE));
        QVERIFY(updates >= 2);
        QCOMPARE(ran.size(), 2);
    }
};

QTEST_MAIN(CommandActionsTest)
#include "command_actions_test.moc"
