// Command routing: the first target whose table handles a command gets it, update handlers
// disable or check commands, and a command nothing handles is disabled.

#include "common/command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessera;

namespace {

// A target that logs the commands it ran.
class Target : public CommandTarget {
public:
    Target(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    CommandTable& table() { return commandTable(); }
    std::function<void(int)> logs() {
        return [this](int id) { log_.push_back(name_ + ":" + std::to_string(id)); };
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

} // namespace

TEST(CommandChain, FirstHandlingTargetWinsAndUnhandledCommandsAreDisabled) {
    std::vector<std::string> log;
    Target view("view", log), doc("doc", log), app("app", log);
    view.table().on(ID_FILE_SAVE, view.logs());
    doc.table().on(ID_FILE_SAVE, doc.logs()).on(32771, doc.logs());
    app.table().on(ID_FILE_NEW, app.logs());
    const CommandChain chain = {&view, nullptr, &doc, &app};

    EXPECT_TRUE(routeCommand(chain, ID_FILE_SAVE));
    EXPECT_TRUE(routeCommand(chain, 32771));
    EXPECT_TRUE(routeCommand(chain, ID_FILE_NEW));
    EXPECT_FALSE(routeCommand(chain, ID_FILE_CLOSE));
    EXPECT_EQ((std::vector<std::string>{"view:57603", "doc:32771", "app:57600"}), log);

    EXPECT_TRUE(commandState(chain, ID_FILE_NEW).enabled);
    EXPECT_FALSE(commandState(chain, ID_FILE_CLOSE).enabled);
    EXPECT_EQ(&doc, commandHandler(chain, 32771));
    EXPECT_EQ(nullptr, commandHandler({&view}, 32771)); // without the document, nothing has it
}

TEST(CommandChain, UpdateHandlersDisableForTheMomentAndPassTheCommandOn) {
    std::vector<std::string> log;
    Target frame("frame", log), app("app", log);
    bool haveWindow = false;
    frame.table().on(ID_WINDOW_NEW, frame.logs(),
                     [&](int, CommandState& s) { s.enabled = haveWindow; });
    app.table().on(ID_WINDOW_NEW, app.logs());
    const CommandChain chain = {&frame, &app};

    EXPECT_FALSE(frame.handlesCommand(ID_WINDOW_NEW));
    EXPECT_FALSE(frame.onCommand(ID_WINDOW_NEW));
    routeCommand(chain, ID_WINDOW_NEW); // the frame declines: the next target runs it
    haveWindow = true;
    routeCommand(chain, ID_WINDOW_NEW);
    EXPECT_EQ((std::vector<std::string>{"app:57648", "frame:57648"}), log);
}

TEST(CommandChain, CheckedStateAndRangesOfCommands) {
    std::vector<std::string> log;
    Target frame("frame", log);
    bool barShown = true;
    int entries = 2;
    frame.table()
        .on(
            ID_VIEW_TOOLBAR, [&](int) { barShown = !barShown; },
            [&](int, CommandState& s) { s.checked = barShown; })
        .onRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + 3, frame.logs(),
                 [&](int id, CommandState& s) { s.enabled = id - ID_FILE_MRU_FILE1 < entries; });
    const CommandChain chain = {&frame};

    EXPECT_EQ(true, commandState(chain, ID_VIEW_TOOLBAR).checked);
    routeCommand(chain, ID_VIEW_TOOLBAR);
    EXPECT_EQ(false, commandState(chain, ID_VIEW_TOOLBAR).checked);
    EXPECT_FALSE(commandState(chain, ID_FILE_NEW).checked.has_value());

    EXPECT_TRUE(routeCommand(chain, ID_FILE_MRU_FILE1 + 1));
    EXPECT_FALSE(routeCommand(chain, ID_FILE_MRU_FILE1 + 2)); // only two entries
    EXPECT_FALSE(routeCommand(chain, ID_FILE_MRU_FILE1 + 4)); // outside the range
    EXPECT_EQ((std::vector<std::string>{"frame:57617"}), log);
}

TEST(CommandChain, ALaterDeclarationReplacesAnEarlierOne) {
    std::vector<std::string> log;
    Target a("first", log), b("second", log);
    a.table().on(7, a.logs()).on(7, b.logs());
    a.onCommand(7);
    EXPECT_EQ((std::vector<std::string>{"second:7"}), log);
}
