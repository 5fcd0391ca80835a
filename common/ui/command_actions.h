#pragma once
// Binds command numbers (common/command.h) to QActions: one action per command, triggering it
// routes the command along the owner's current chain, and update() enables, disables and checks
// every action from the chain's answers.

#include "common/command.h"

#include <QKeySequence>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <functional>
#include <initializer_list>

class QAction;
class QMenu;
class QWidget;

namespace tessera {

class CommandActions : public QObject {
    Q_OBJECT
public:
    using ChainFunction = std::function<CommandChain()>;

    // `chain` gives the targets a command tries now (e.g. active view, document, frame,
    // application); actions are children of `owner`.
    CommandActions(QWidget* owner, ChainFunction chain);

    // Creates the action of `id` with its menu text. `prompt` is the status-bar prompt,
    // optionally followed by a line break and the tooltip ("建立新文档\n新建").
    QAction* add(int id, const QString& text, const QString& prompt = {},
                 const QList<QKeySequence>& keys = {});
    QAction* action(int id) const { return actions_.value(id); }
    const QMap<int, QAction*>& actions() const { return actions_; }

    // A menu of the actions of `ids`, in order; 0 stands for a separator.
    QMenu* menu(const QString& title, std::initializer_list<int> ids, QWidget* parent) const;

    // Routes `id` along the chain, then updates every action; false when nothing handles it.
    bool route(int id);
    bool isEnabled(int id) const;
    // Enables each action whose command a target handles now, and sets the check mark of
    // checkable actions whose handler reports one.
    void update();

signals:
    // After every update(), for owners that adjust actions of their own (placeholders).
    void updated();

private:
    QWidget* owner_;
    ChainFunction chain_;
    QMap<int, QAction*> actions_;
};

} // namespace tessera
