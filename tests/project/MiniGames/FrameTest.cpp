// What the five games share: the quit question, leaving the stack, the
// activity records and the every-third wrong-answer record.
#include "GamesTestSupport.h"

#include "Resources/MiniGames/MovingObjectsState.h"
#include "Resources/MiniGames/PickPineapplesState.h"
#include "Resources/MiniGames/SkyGroundState.h"
#include "Resources/MiniGames/WarmCoolState.h"


using namespace GamesTest;

namespace
{
SpatialPtr pineapple(MiniGameState& game, bool large)
{
    const NodePtr scene = boost::static_pointer_cast<Node>(game.getSceneRoot()->getChild(0));
    return scene->getChild(scene->getChildQuantity() - (large ? 2 : 1));
}

// Drags an object by (dx, dy) screen pixels from its centre and lets go.
void dragObject(GameFixture& f, MovingObjectsState& game, int index, int dx, int dy)
{
    const std::pair<int, int> at = GameFixture::screenOf(game.getPickups()[index].sprite);
    f.touch(at.first, at.second, 1);
    f.touch(at.first + dx, at.second + dy, 1);
    f.touch(at.first + dx, at.second + dy, 0);
    f.frame();
}

struct GameCase
{
    const char* name;
    MiniGameState* (*make)();
    // Answers the question asked now, rightly or wrongly.
    void (*answer)(GameFixture&, MiniGameState&, bool right);
};

template <class Game> Game& as(MiniGameState& game) { return static_cast<Game&>(game); }

const GameCase games[] = {
    {"SkyGround", [] { return static_cast<MiniGameState*>(new SkyGroundState); },
     [](GameFixture& f, MiniGameState& g, bool right) {
         f.tap(10, (as<SkyGroundState>(g).getPhase() == 0) == right ? 50 : 200);
     }},
    {"MixingColors", [] { return static_cast<MiniGameState*>(new MixingColorsState); },
     [](GameFixture& f, MiniGameState& g, bool right) {
         MixingColorsState& game = as<MixingColorsState>(g);
         const int awaited = game.getAwaitedColor() == MixingColorsState::AwaitRed ? 0
                             : game.getAwaitedColor() == MixingColorsState::AwaitYellow ? 2 : 1;
         f.dropColour(game, right ? awaited : awaited == 1 ? 0 : 1);
     }},
    {"MovingObjects", [] { return static_cast<MiniGameState*>(new MovingObjectsState); },
     [](GameFixture& f, MiniGameState& g, bool right) {
         MovingObjectsState& game = as<MovingObjectsState>(g);
         if (right)
             dragObject(f, game, 0, 0, 100); // the house down to the ground
         else
             f.tap(game.getPickups()[1].sprite); // the cow stays in the sky
     }},
    {"PickPineapples", [] { return static_cast<MiniGameState*>(new PickPineapplesState); },
     [](GameFixture& f, MiniGameState& g, bool right) {
         f.tap(pineapple(g, (as<PickPineapplesState>(g).getPhase() == 0) == right));
     }},
    {"WarmCool", [] { return static_cast<MiniGameState*>(new WarmCoolState); },
     [](GameFixture& f, MiniGameState& g, bool right) {
         // The sun is warm, the sky cool.
         if ((as<WarmCoolState>(g).getPhase() == 0) == right)
             f.tap(64, 48);
         else
             f.tap(160, 20);
     }},
};

class FrameThreadTest : public GameFixture, public ::testing::WithParamInterface<GameCase>
{
public:
    void SetUp() override
    {
        GameFixture::SetUp();
        if (!IsSkipped())
            game = start(GetParam().make());
    }
    bool waiting() { return waitingFor(*game); }
    bool dialogShown() const
    {
        return game->getDialogHolder()->cullingMode == CullingMode::Show &&
               game->getDialogBox()->cullingMode == CullingMode::Show;
    }
    int count(const std::string& start) const
    {
        int n = 0;
        for (const std::string& record : log())
            n += record.compare(0, start.size(), start) == 0;
        return n;
    }

    MiniGameState* game = nullptr;
};

TEST_P(FrameThreadTest, TheQuitQuestionWaitsForSilenceNoAndCloseChangeNothingYesLeavesWithTheLauncher)
{
    ASSERT_TRUE(until([this] { return game->getAudioPlayer()->isSpeechPlaying(); }));
    press(MiniGameState::MenuButton);
    EXPECT_FALSE(dialogShown()) << "the guide is not interrupted";
    ASSERT_TRUE(waiting());
    press(MiniGameState::MenuButton | MiniGameState::BackButton);
    EXPECT_FALSE(dialogShown()) << "two buttons at once are no quit button";
    spoken();
    for (int answer : {2, 3, 1})
    {
        ASSERT_TRUE(until([this] { return !game->getAudioPlayer()->isSpeechPlaying(); }));
        press(answer == 3 ? MiniGameState::BackButton : MiniGameState::MenuButton);
        ASSERT_TRUE(dialogShown() && game->isDialogOpen());
        frame();
        tap(dialogButton(*game, answer));
        const Lines said = spoken();
        const Lines expected = {"AreYSrYWntTQt_4", answer == 1 ? "Yes_3" : "No_3"};
        if (answer == 1)
            spoken(); // the yes may ring on into the frame of the switch
        EXPECT_EQ(answer == 3 ? Lines(expected.begin(), expected.begin() + 1) : expected, said);
        if (answer == 1)
            break; // the game is gone
        EXPECT_FALSE(dialogShown() || game->isDialogOpen());
        EXPECT_EQ(3u, stackSize());
    }
    EXPECT_EQ(1u, stackSize()) << "yes: the game and its launcher leave";
    EXPECT_EQ(0, launcherEntries);
    EXPECT_EQ(2, bottomEntries);
    EXPECT_EQ("ActivityExit 0 3", log().back());
}

TEST_P(FrameThreadTest, EveryThirdWrongAnswerIsRecordedAndClosingTheApplicationRecordsReasonFive)
{
    const int answers[] = {0, 0, 1, 0, 0, 0, 0}; // 1: a right answer in between
    for (int right : answers)
    {
        ASSERT_TRUE(waiting());
        GetParam().answer(*this, *game, right);
    }
    ASSERT_TRUE(waiting());
    EXPECT_EQ(2, count("WrongAnswer "));
    EXPECT_EQ(0, game->getWrongCount());
    harness.reset();
    EXPECT_EQ("ActivityExit 0 5", log().back());
    const std::string first = log().front();
    EXPECT_EQ(0u, first.find("ActivityStart")) << first;
}

// A title without the characters: each is reported, and the game is played
// without them.
TEST_P(FrameThreadTest, MissingCharactersAreReportedAndTheGamePlaysOnWithoutThem)
{
    harness.reset();
    GameFixture::SetUp();
    const std::string folder = TestSupport::freshFolder("no-characters");
    for (const char* scene : {"composition_p1", "composition_p2", "composition_p3", "colors", "warm_cool"})
        std::ofstream(folder + scene + ".chr");
    MiniGameState* bare = GetParam().make();
    bare->getSceneManager().addMetadataPath(folder);
    testing::internal::CaptureStdout();
    game = start(bare);
    ASSERT_TRUE(waiting());
    GetParam().answer(*this, *game, true);
    ASSERT_TRUE(waiting());
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, output.find("Could not load character: scv")) << output;
    EXPECT_FALSE(game->getGuide());
    EXPECT_EQ(3u, stackSize());
}

// The child confirms the quit question in the very frame in which the game
// would pop itself after its closing line: the game and its launcher leave,
// and nothing below them.
class LeaveOnceThreadTest : public GameFixture
{
};

TEST_F(LeaveOnceThreadTest, AQuitConfirmedAsTheClosingTalkEndsLeavesTheGameAndTheLauncherOnly)
{
    typedef bool (*Ended)(MiniGameState&);
    const std::pair<const GameCase*, Ended> cases[] = {
        {&games[0], [](MiniGameState& g) { return !as<SkyGroundState>(g).isTalking(); }},
        {&games[4], [](MiniGameState& g) { return as<WarmCoolState>(g).getStep() == 3; }}};
    for (const auto& entry : cases)
    {
        SCOPED_TRACE(entry.first->name);
        if (entry.first != &games[0])
            SetUp();
        MiniGameState* game = start(entry.first->make());
        for (int question = 0; question < 2; ++question)
        {
            ASSERT_TRUE(until([&] { return game->isInputReady() && !game->getAudioPlayer()->isSpeechPlaying(); }));
            frame();
            entry.first->answer(*this, *game, true);
        }
        ASSERT_TRUE(until([&] { return !game->getAudioPlayer()->isSpeechPlaying(); }));
        press(MiniGameState::MenuButton);
        ASSERT_TRUE(game->isDialogOpen());
        ASSERT_TRUE(until([&] { return entry.second(*game) && !game->getAudioPlayer()->isSpeechPlaying(); }));
        tap(dialogButton(*game, 1));
        EXPECT_EQ(1u, stackSize());
        EXPECT_FALSE(harness->handler().isClosing());
        EXPECT_EQ("ActivityExit 0 3", log().back());
        TearDown();
    }
}

INSTANTIATE_TEST_SUITE_P(Games, FrameThreadTest, ::testing::ValuesIn(games),
                         [](const ::testing::TestParamInfo<GameCase>& info) { return info.param.name; });
}
