// What the five games share: the quit question, leaving the stack, the
// activity records, the every-third wrong-answer record, missing characters.
#include "GamesTestSupport.h"

#include "Resources/MiniGames/MixingColorsState.h"
#include "Resources/MiniGames/MovingObjectsState.h"
#include "Resources/MiniGames/PickPineapplesState.h"
#include "Resources/MiniGames/SkyGroundState.h"
#include "Resources/MiniGames/WarmCoolState.h"

using namespace GamesTest;

namespace
{
template <class Game> Game& as(MiniGameState& game) { return static_cast<Game&>(game); }
template <class Game> MiniGameState* make() { return new Game; }

// A game, and how to answer the question it asks now, rightly or wrongly.
struct GameCase
{
    const char* name;
    MiniGameState* (*make)();
    void (*answer)(GameFixture&, MiniGameState&, bool right);
};

const GameCase games[] = {
    {"SkyGround", make<SkyGroundState>, [](GameFixture& f, MiniGameState& g, bool right) {
         f.tap(10, (as<SkyGroundState>(g).getPhase() == 0) == right ? -5 : 239);
     }},
    {"MixingColors", make<MixingColorsState>, [](GameFixture& f, MiniGameState& g, bool right) {
         const int primary = "021"[(as<MixingColorsState>(g).getAwaitedColor() - 4) / 2] - '0'; // awaited 4 red, 6 yellow, 8 blue
         f.dropColour(right ? primary : primary == 1 ? 0 : 1);
     }},
    // The first misplaced object where it belongs (house and cow down, sun
    // and cloud up), or the cow tapped where it floats.
    {"MovingObjects", make<MovingObjectsState>, [](GameFixture& f, MiniGameState& g, bool right) {
         const auto& objects = as<MovingObjectsState>(g).getPickups();
         size_t i = 0;
         while (right && objects[i].placedRight)
             ++i;
         f.drag(objects[right ? i : 1].sprite, 0, right ? (i < 2 ? 100 : -100) : 0);
     }},
    {"PickPineapples", make<PickPineapplesState>, [](GameFixture& f, MiniGameState& g, bool right) {
         f.tap(GameFixture::pineapple(g, (as<PickPineapplesState>(g).getPhase() == 0) == right));
     }},
    {"WarmCool", make<WarmCoolState>, [](GameFixture& f, MiniGameState& g, bool right) {
         const bool warm = (as<WarmCoolState>(g).getPhase() == 0) == right;
         f.tap(warm ? 64 : 160, warm ? 48 : 20); // the sun, or the sky
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
    bool dialogShown() const { return game->getDialogBox()->cullingMode == CullingMode::Show && game->isDialogOpen(); }
    bool silent() { return until([this] { return !game->getAudioPlayer()->isSpeechPlaying(); }); }

    MiniGameState* game = nullptr;
};

TEST_P(FrameThreadTest, TheQuitQuestionWaitsForSilenceNoAndCloseChangeNothingYesLeavesWithTheLauncher)
{
    ASSERT_TRUE(until([this] { return game->getAudioPlayer()->isSpeechPlaying(); }));
    press(MiniGameState::MenuButton);
    EXPECT_FALSE(dialogShown()) << "the guide is not interrupted";
    ASSERT_TRUE(waitingFor(*game));
    press(MiniGameState::MenuButton | MiniGameState::BackButton);
    EXPECT_FALSE(dialogShown()) << "two buttons at once are no quit button";
    spoken();
    for (int answer : {2, 3, 1})
    {
        ASSERT_TRUE(silent());
        press(answer == 3 ? MiniGameState::BackButton : MiniGameState::MenuButton);
        ASSERT_TRUE(dialogShown() && game->getDialogHolder()->cullingMode == CullingMode::Show);
        frame();
        tap(dialogButton(*game, answer));
        const Lines asked = {"AreYSrYWntTQt_4"}, answered = {"AreYSrYWntTQt_4", answer == 1 ? "Yes_3" : "No_3"};
        EXPECT_EQ(answer == 3 ? asked : answered, spoken());
        if (answer == 1)
            break; // the game is gone
        EXPECT_FALSE(game->getDialogBox()->cullingMode == CullingMode::Show || game->isDialogOpen());
        EXPECT_EQ(3u, stackSize());
    }
    EXPECT_TRUE(stackSize() == 1 && launcherEntries == 0 && bottomEntries == 2) << "yes: the game and its launcher";
    EXPECT_EQ("ActivityExit 0 3", log().back());
}

// Without its characters (the title lacks them), each is reported and the
// game is played all the same.
TEST_P(FrameThreadTest, EveryThirdWrongAnswerIsRecordedAndClosingTheApplicationRecordsReasonFive)
{
    harness.reset(); // the game above, closed: its records are not this run's
    log(), records.clear();
    start([]() -> GameState* { return new Stand(bottomEntries); });
    const std::string folder = TestSupport::freshFolder("no-characters");
    for (const char* scene : {"composition_p1", "composition_p2", "composition_p3", "colors", "warm_cool"})
        std::ofstream(folder + scene + ".chr");
    MiniGameState* bare = GetParam().make();
    bare->getSceneManager().addMetadataPath(folder);
    testing::internal::CaptureStdout();
    game = start(bare);
    for (bool right : {false, false, true, false, false, false, false})
    {
        ASSERT_TRUE(waitingFor(*game));
        GetParam().answer(*this, *game, right);
    }
    ASSERT_TRUE(waitingFor(*game));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, output.find("Could not load character: scv")) << output;
    EXPECT_FALSE(game->getGuide());
    const Lines records = log();
    EXPECT_EQ(2, std::count_if(records.begin(), records.end(),
                               [](const std::string& r) { return r.compare(0, 12, "WrongAnswer ") == 0; }));
    EXPECT_EQ(0, game->getWrongCount());
    harness.reset();
    EXPECT_EQ(0u, log().front().find("ActivityStart"));
    EXPECT_EQ("ActivityExit 0 5", log().back());
}

// The quit question opened while the guide says the closing line: where the
// dialog takes touches meanwhile (sky and ground, warm and cool), yes in the
// very frame in which the game would pop itself leaves with the launcher and
// nothing below; elsewhere yes is not heard and the game ends as played.
TEST_P(FrameThreadTest, AQuitAnsweredDuringTheClosingTalkLeavesTheStackOnce)
{
    typedef bool (*Ended)(MiniGameState&);
    const std::string name = GetParam().name;
    const Ended ended = name == "SkyGround" ? [](MiniGameState& g) { return !as<SkyGroundState>(g).isTalking(); }
                        : name == "WarmCool" ? [](MiniGameState& g) { return as<WarmCoolState>(g).getStep() == 3; }
                                             : Ended();
    while (game->getExitReason() != ActivityExitReason::Completed)
    {
        ASSERT_TRUE(waitingFor(*game));
        GetParam().answer(*this, *game, true);
    }
    ASSERT_TRUE(silent());
    press(MiniGameState::MenuButton);
    ASSERT_TRUE(game->isDialogOpen());
    if (ended)
    {
        ASSERT_TRUE(until([&] { return ended(*game) && !game->getAudioPlayer()->isSpeechPlaying(); }));
    }
    tap(dialogButton(*game, 1));
    ASSERT_TRUE(until([this] { return stackSize() < 3; }));
    EXPECT_EQ(ended ? 1u : 2u, stackSize());
    EXPECT_FALSE(harness->handler().isClosing());
    EXPECT_EQ(ended ? "ActivityExit 0 3" : "ActivityExit 0 1", log().back());
}

INSTANTIATE_TEST_SUITE_P(Games, FrameThreadTest, ::testing::ValuesIn(games),
                         [](const ::testing::TestParamInfo<GameCase>& info) { return info.param.name; });
}
