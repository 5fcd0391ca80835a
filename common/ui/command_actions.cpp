#include "common/ui/command_actions.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace tessera {

CommandActions::CommandActions(QWidget* owner, ChainFunction chain)
    : QObject(owner), owner_(owner), chain_(std::move(chain)) {}

QAction* CommandActions::add(int id, const QString& text, const QString& prompt,
                             const QList<QKeySequence>& keys) {
    auto* action = new QAction(text, owner_);
    action->setData(id);
    if (!prompt.isEmpty()) {
        const int nl = prompt.indexOf(QLatin1Char('\n'));
        action->setStatusTip(nl < 0 ? prompt : prompt.left(nl));
        if (nl >= 0)
            action->setToolTip(prompt.mid(nl + 1));
    }
    if (!keys.isEmpty())
        action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, [this, id] { route(id); });
    actions_.insert(id, action);
    return action;
}

bool CommandActions::route(int id) {
    const bool handled = routeCommand(chain_(), id);
    if (handled)
        update();
    return handled;
}

bool CommandActions::isEnabled(int id) const {
    return commandState(chain_(), id).enabled;
}

void CommandActions::update() {
    const CommandChain chain = chain_();
    for (auto it = actions_.begin(); it != actions_.end(); ++it) {
        const CommandState state = commandState(chain, it.key());
        it.value()->setEnabled(state.enabled);
        if (state.checked && it.value()->isCheckable())
            it.value()->setChecked(*state.checked);
    }
    emit updated();
}

QMenu* CommandActions::menu(const QString& title, std::initializer_list<int> ids,
                            QWidget* parent) const {
    auto* m = new QMenu(title, parent);
    for (int id : ids) {
        if (id == 0)
            m->addSeparator();
        else
            m->addAction(action(id));
    }
    return m;
}

} // namespace tessera
