#include "common/command.h"

#include <algorithm>

namespace tessera {

CommandTable& CommandTable::on(int id, Handler handler, Update update) {
    return onRange(id, id, std::move(handler), std::move(update));
}

CommandTable& CommandTable::onRange(int first, int last, Handler handler, Update update) {
    // The newest declaration of a number wins: it is found first, and entries it covers whole
    // are dropped.
    entries_.erase(
        std::remove_if(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.first >= first && e.last <= last; }),
        entries_.end());
    entries_.insert(entries_.begin(), Entry{first, last, std::move(handler), std::move(update)});
    return *this;
}

const CommandTable::Entry* CommandTable::find(int id) const {
    for (const Entry& e : entries_)
        if (id >= e.first && id <= e.last)
            return &e;
    return nullptr;
}

std::optional<CommandState> CommandTarget::commandState(int id) const {
    const CommandTable::Entry* entry = table_.find(id);
    if (!entry || !entry->handler)
        return std::nullopt;
    CommandState state;
    if (entry->update)
        entry->update(id, state);
    if (!state.enabled)
        return std::nullopt;
    return state;
}

bool CommandTarget::onCommand(int id) {
    if (!handlesCommand(id))
        return false;
    // A copy: the handler may replace its own entry or destroy the target.
    const CommandTable::Handler handler = table_.find(id)->handler;
    handler(id);
    return true;
}

CommandTarget* commandHandler(const CommandChain& chain, int id) {
    for (CommandTarget* target : chain)
        if (target && target->handlesCommand(id))
            return target;
    return nullptr;
}

CommandState commandState(const CommandChain& chain, int id) {
    for (CommandTarget* target : chain)
        if (target)
            if (auto state = target->commandState(id))
                return *state;
    CommandState disabled;
    disabled.enabled = false;
    return disabled;
}

bool routeCommand(const CommandChain& chain, int id) {
    CommandTarget* target = commandHandler(chain, id);
    return target && target->onCommand(id);
}

} // namespace tessera
