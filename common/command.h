#pragma once
// Command routing shared by both programs (model code, no Qt).
//
// A command is a number shared by menus, toolbar buttons and accelerators. Each CommandTarget
// (a view, a document, a frame, the application) declares once, in its CommandTable, which
// commands it handles: the handler and an optional update handler that can disable the command
// for the moment or report its checked state. Because the table is the only declaration, the
// list of handled commands and the handlers cannot drift apart.
//
// A command goes along a chain of targets, normally the active view, its document, the frames
// and the application: the first target whose table has the command (and whose update handler
// leaves it enabled) handles it. A command that no target handles is disabled.
// common/ui/command_actions.h binds the commands to QActions.

#include <functional>
#include <optional>
#include <vector>

namespace tessera {

// Command numbers of the framework's standard commands, shared by both programs. Programs add
// their own numbers (below 0xE000) next to these.
enum StandardCommand : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PAGE_SETUP = 57605,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616, // the recent-file entries are ID_FILE_MRU_FILE1 + index
    ID_EDIT_CLEAR = 57632,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_WINDOW_TILE_VERT = 57652,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

// What the update of a command shows.
struct CommandState {
    bool enabled = true;
    std::optional<bool> checked; // set for commands shown with a check mark
};

class CommandTable {
public:
    using Handler = std::function<void(int id)>;
    using Update = std::function<void(int id, CommandState& state)>;

    // Declares the handler of command `id`, and optionally its update handler. A later
    // declaration of the same number replaces the earlier one.
    CommandTable& on(int id, Handler handler, Update update = {});
    // The same for every command from `first` to `last` (inclusive), e.g. recent-file entries.
    CommandTable& onRange(int first, int last, Handler handler, Update update = {});

    struct Entry {
        int first = 0, last = 0;
        Handler handler;
        Update update;
    };
    // The declaration that covers `id`, or null.
    const Entry* find(int id) const;

private:
    std::vector<Entry> entries_;
};

class CommandTarget {
public:
    virtual ~CommandTarget() = default;

    // The state of `id` when this target handles it now; nullopt when its table has no entry
    // for it or the entry's update handler disabled it.
    std::optional<CommandState> commandState(int id) const;
    bool handlesCommand(int id) const { return commandState(id).has_value(); }
    // Runs the handler of `id` when this target handles it now; false otherwise.
    bool onCommand(int id);

protected:
    // Filled once, normally in the target's constructor.
    CommandTable& commandTable() { return table_; }

private:
    CommandTable table_;
};

// The targets a command tries in order (null entries are skipped).
using CommandChain = std::vector<CommandTarget*>;

// The first target of `chain` that handles `id` now, or null.
CommandTarget* commandHandler(const CommandChain& chain, int id);
// The state that target reports; disabled when no target handles `id`.
CommandState commandState(const CommandChain& chain, int id);
// Runs `id` on the first target that handles it; false when none does.
bool routeCommand(const CommandChain& chain, int id);

} // namespace tessera
