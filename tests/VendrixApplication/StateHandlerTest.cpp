// The switching rule of the state stack, as one table over recording states.
#include "VendrixApplication/StateTestSupport.h"

#include <iterator>
#include <memory>
#include <sstream>

using namespace StateTestSupport;
using Tovrane::GameStateHandler;
using Tovrane::GameStatePtr;

namespace
{
typedef std::vector<std::string> Lines;

// One case: a stack built state by state (each pushed by the one below from
// its update; names ending in "k" are kept on the stack), then the actions of
// one frame of the top state: "push:S4", "pop", "suspend" (the handler
// suspends the current state) or "mark" (a journal line). enterActions and
// destroyActions run inside that state's first enter or its destructor.
// Steps after the frame: "frame", "resume" (then a frame), "pop" (outside any
// frame), "destroy" (the handler is destroyed).
struct Row
{
    std::string name;
    Lines build;
    std::string actions;
    std::map<std::string, std::string> enterActions, destroyActions;
    Lines steps;
    Lines expected; // journal of the frame and the steps
    std::string stackAfter;
    int lastSizeAfter;
    bool closes;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

Lines words(const std::string& text)
{
    std::istringstream in(text);
    return Lines(std::istream_iterator<std::string>(in), std::istream_iterator<std::string>());
}

class Table
{
public:
    explicit Table(const Row& row) : row(row), handler(new GameStateHandler) {}

    ProbeState* make(const std::string& recipe)
    {
        const bool keep = recipe.size() > 1 && recipe.back() == 'k';
        const std::string name = keep ? recipe.substr(0, recipe.size() - 1) : recipe;
        ProbeState* state = new ProbeState(journal, name, false, keep);
        if (row.enterActions.count(name))
        {
            auto done = std::make_shared<bool>(false);
            state->onEnter = [this, action = row.enterActions.at(name), done](ProbeState&) {
                if (!std::exchange(*done, true))
                    run(action);
            };
        }
        if (row.destroyActions.count(name))
            state->onDestroy = [this, action = row.destroyActions.at(name)](ProbeState&) { run(action); };
        return state;
    }

    void run(const std::string& action)
    {
        if (action == "pop")
            handler->pop();
        else if (action == "suspend")
            handler->suspend();
        else if (action == "mark")
            journal.add("mark");
        else if (action.compare(0, 5, "push:") == 0)
            handler->push(make(action.substr(5)));
        else
            ADD_FAILURE() << "unknown action " << action;
    }

    // Builds the stack; the journal is cleared afterwards.
    bool build()
    {
        for (size_t i = 0; i < row.build.size(); ++i)
        {
            if (i == 0)
                handler->push(make(row.build[0]));
            else
            {
                current()->onUpdate = [this, recipe = row.build[i]](ProbeState&) { handler->push(make(recipe)); };
                frames.step(*handler);
            }
            if (!frames.settle(*handler))
                return false;
        }
        journal.take();
        return true;
    }

    ProbeState* current() const { return dynamic_cast<ProbeState*>(handler->getCurrent().get()); }

    std::string stack() const
    {
        std::string names;
        for (size_t i = 0; i < handler->getStackSize(); ++i)
            names += (i ? " " : "") + dynamic_cast<ProbeState&>(*handler->getState(i)).name;
        return names;
    }

    Row row;
    Journal journal;
    Frames frames;
    std::unique_ptr<GameStateHandler> handler;
};

const Row rows[] = {
    {"a push covers the state below", {"S1"}, "push:S2", {}, {}, {}, {"exit S1", "enter S2"}, "S1 S2", 2, false},
    {"a pop brings back a kept state, from scratch, and the popped one lives until the switch",
     {"S1k", "S2"}, "pop mark", {}, {}, {}, {"mark", "exit S2", "destroy S2", "enter S1"}, "S1", 1, false},
    {"states without the flag are dropped without a second exit",
     {"S1k", "S2", "S3"}, "pop", {}, {}, {}, {"exit S3", "destroy S3", "destroy S2", "enter S1"}, "S1", 1, false},
    {"dropping the last state asks the host to close",
     {"S1", "S2"}, "pop", {}, {}, {}, {"exit S2", "destroy S2", "destroy S1"}, "", 2, true},
    {"the only state pops itself", {"S1"}, "pop", {}, {}, {}, {"exit S1", "destroy S1"}, "", 1, true},
    {"a pop on the empty stack is ignored", {"S1"}, "pop pop", {}, {}, {}, {"exit S1", "destroy S1"}, "", 1, true},
    {"updates after the close request do nothing",
     {"S1"}, "pop", {}, {}, {"frame", "frame"}, {"exit S1", "destroy S1"}, "", 1, true},
    {"pop and push in one frame replace the top",
     {"S1", "S2"}, "pop push:S3", {}, {}, {}, {"exit S2", "destroy S2", "enter S3"}, "S1 S3", 2, false},
    {"pop and push of the only state in one frame",
     {"S1"}, "pop push:S2", {}, {}, {}, {"exit S1", "destroy S1", "enter S2"}, "S2", 1, false},
    {"two pushes in one frame enter only the top",
     {"S1"}, "push:S2 push:S3", {}, {}, {}, {"exit S1", "enter S3"}, "S1 S2 S3", 3, false},
    {"a waiting state with the flag is entered when the one above pops",
     {"S1"}, "push:S2k push:S3", {}, {}, {"pop", "frame"},
     {"exit S1", "enter S3", "exit S3", "destroy S3", "enter S2"}, "S1 S2", 2, false},
    {"a waiting state without the flag goes without ever being entered",
     {"S1"}, "push:S2 push:S3", {}, {}, {"pop", "frame"},
     {"exit S1", "enter S3", "exit S3", "destroy S3", "destroy S2", "destroy S1"}, "", 3, true},
    {"a push and its pop in one frame switch nothing", {"S1"}, "push:S2 pop", {}, {}, {}, {"destroy S2"}, "S1", 1,
     false},
    {"more pops than pushes drop a pushed state never entered",
     {"S1k", "S2", "S3"}, "pop pop push:S4", {}, {}, {},
     {"exit S3", "destroy S3", "destroy S2", "destroy S4", "enter S1"}, "S1", 1, false},
    {"a pop of itself from enter counts at once",
     {"S1"}, "push:S2", {{"S2", "pop"}}, {}, {"frame"},
     {"exit S1", "enter S2", "exit S2", "destroy S2", "enter S1"}, "S1", 1, false},
    {"a push from enter counts at once",
     {"S0"}, "push:S1k", {{"S1", "push:S2"}}, {}, {"frame"}, {"exit S0", "enter S1", "exit S1", "enter S2"},
     "S0 S1 S2", 3, false},
    {"nothing switches while the state is suspended",
     {"S1"}, "push:S2 suspend", {}, {}, {"frame", "frame", "resume"},
     {"suspend S1", "resume S1", "exit S1", "enter S2"}, "S1 S2", 2, false},
    {"a destructor's pop reads the stack afresh",
     {"S1k", "S2", "S3"}, "pop push:S4", {}, {{"S3", "pop"}}, {},
     {"exit S3", "destroy S3", "destroy S4", "destroy S2", "enter S1"}, "S1", 1, false},
    {"the destructor exits every state, top first, before destroying any",
     {"S1", "S2", "S3"}, "", {}, {}, {"destroy"},
     {"exit S3", "exit S2", "exit S1", "destroy S3", "destroy S2", "destroy S1"}, "", 0, false},
    {"the destructor exits a state that popped itself before the switch",
     {"S1", "S2"}, "", {}, {}, {"pop", "destroy"}, {"exit S2", "exit S1", "destroy S2", "destroy S1"}, "", 0,
     false},
};

class StateHandlerThreadTest : public ::testing::TestWithParam<Row>
{
protected:
    void SetUp() override
    {
        REQUIRE_STATE_TITLE();
        CAppManager::Instance()->Reset();
    }
};

TEST_P(StateHandlerThreadTest, SwitchingRule)
{
    const Row& row = GetParam();
    Table table(row);
    ASSERT_TRUE(table.build()) << "the stack could not be built";

    if (!row.actions.empty())
    {
        table.current()->onUpdate = [&table, actions = words(row.actions)](ProbeState&) {
            for (const std::string& action : actions)
                table.run(action);
        };
        table.frames.step(*table.handler);
    }
    for (const std::string& step : row.steps)
    {
        if (step == "resume")
            table.handler->resume();
        if (step == "pop")
            table.handler->pop();
        else if (step == "destroy")
            table.handler.reset();
        else
            table.frames.step(*table.handler);
    }

    EXPECT_EQ(row.expected, table.journal.take());
    if (table.handler)
    {
        EXPECT_EQ(row.stackAfter, table.stack());
        EXPECT_EQ(row.lastSizeAfter, table.handler->getLastSize());
        EXPECT_EQ(row.closes, table.handler->isClosing());
        EXPECT_EQ(row.closes, CAppManager::Instance()->IsPopRequested());
        table.handler.reset();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, StateHandlerThreadTest, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });
}
