// The colour pie and the lesson pie: what their listeners are asked, what
// lands in the centre and which sound plays, as scripts of touches.
#include "ColourTestSupport.h"

#include "Resources/Studio/ColorPie.h"
#include "Resources/Studio/LessonColorPie.h"
#include "Tovrane/AudioPlayer.h"

#include <cmath>

using namespace Tovrane;
using namespace ColourTest;

namespace
{
const Colour PieRed(192, 0, 0, 255), PieBlue(0, 0, 192, 255), PieYellow(240, 240, 0, 255),
    PiePurple(144, 0, 192, 255), PieGreen(48, 144, 0, 255), PieOrange(240, 144, 0, 255);
const Colour Dim(50, 50, 50, 255), Faint(51, 50, 50, 255), White(255, 255, 255, 255);

// A 100 x 100 pie: six slices of 60 degrees from the right, counter-clockwise,
// within 48 pixels of the middle; a dim (sum 150) and a faint (sum 151) patch
// in the top corners.
TexturePtr piePicture()
{
    const Colour slices[6] = {PieRed, PieBlue, PieYellow, PiePurple, PieGreen, PieOrange};
    TexturePtr picture(new Texture(100, 100, PixelFormat::RGBA8888, true, 0));
    for (int row = 0; row < 100; ++row)
        for (int column = 0; column < 100; ++column)
        {
            const int dx = column - 50, dy = 50 - row;
            double degrees = std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 180.0 / M_PI;
            degrees += degrees < 0 ? 360.0 : 0.0;
            if (dx * dx + dy * dy <= 48 * 48)
                picture->setPixel(slices[static_cast<int>(degrees / 60.0) % 6], column, row);
            else if (row < 5 && (column < 5 || column >= 95))
                picture->setPixel(column < 5 ? Dim : Faint, column, row);
        }
    return picture;
}

struct P
{
    int x, y; // from the pie's middle (150, 120), y up
};

// Points on the slices, 30 pixels out, and on the corner patches.
const P OnRed{26, 15}, OnBlue{0, 30}, OnYellow{-26, 15}, OnDim{-48, 48}, OnFaint{48, 48};

enum Kind
{
    Press,
    Move,
    Release,
    Roll
};

struct Step
{
    const char* what;
    Kind kind;
    P at;
    Journal asked; // "press N" / "release N": the listeners' questions, by colour number
    int selected;
    Journal sounds;
    Colour center;
    bool pointerShown;
};

struct Script
{
    const char* what;
    bool lesson;
    std::vector<bool> releaseAnswers, pressAnswers; // one listener per answer, in order
    std::vector<Step> steps;
};

// A listener that writes down the question and gives its answer.
struct Listener
{
    Journal* asked;
    std::string event;
    bool answer;
    bool onEvent(const ColorPieArgs& a)
    {
        asked->push_back(event + " " + std::to_string(a.color));
        return answer;
    }
};

class ColorPieTest : public AudioFixture
{
protected:
    void run(const Script& script)
    {
        SCOPED_TRACE(script.what);
        root.reset(new Node);
        centerPicture = solid(20, 20, White);
        pointerPicture = solid(10, 10, White);
        ColorPiePtr pie(script.lesson ? new LessonColorPie(sprite(piePicture()), sprite(pointerPicture))
                                      : new ColorPie(sprite(piePicture()), sprite(pointerPicture)));
        pie->setCenter(sprite(centerPicture, 40, 40));
        pie->setPosition(Vector3<tFixed>(tFixed(100), tFixed(70), tFixed(0)));
        pie->audioPlayer = audio.get();
        root->addChild(pie);
        Journal asked;
        std::vector<std::unique_ptr<Listener>> listeners;
        const auto listen = [&](ColorPie::PieEvent& event, const char* name, const std::vector<bool>& answers) {
            for (bool answer : answers)
            {
                listeners.emplace_back(new Listener{&asked, name, answer});
                event += new ColorPie::PieEvent::MethodDelegate<Listener>(listeners.back().get(), &Listener::onEvent);
            }
        };
        listen(pie->releaseEvent, "release", script.releaseAnswers);
        if (script.lesson)
            listen(static_cast<LessonColorPie&>(*pie).pressEvent, "press", script.pressAnswers);
        sounds();

        for (const Step& s : script.steps)
        {
            SCOPED_TRACE(s.what);
            root->update(0);
            const int x = 150 + s.at.x, y = 120 + s.at.y;
            if (s.kind == Press || s.kind == Move)
                pie->onPress(x, y);
            else if (s.kind == Release)
                pie->onRelease(x, y);
            else
                pie->onRolloff(x, y);
            EXPECT_EQ(s.asked, asked);
            asked.clear();
            EXPECT_EQ(s.selected, pie->getSelectedColor());
            EXPECT_EQ(s.sounds, sounds());
            EXPECT_EQ(s.center, centerPicture->getPixel(10, 10));
            EXPECT_EQ(s.pointerShown, pie->getPointer()->cullingMode == CullingMode::Show);
        }
    }

    NodePtr root;
    TexturePtr centerPicture, pointerPicture;
};

const Journal Quiet, Correct{CorrectSound}, Mixed{MixedSound}, Wheel{WheelSound};
const Journal AskedRelease0{"release 0"}, AskedRelease1{"release 1"}, AskedRelease6{"release 6"};
}

TEST_F(ColorPieTest, PieDropsWhatItsListenersAccept)
{
    const Script scripts[] = {
        {"red, then blue, dropped 10 px from the middle",
         false,
         {true},
         {},
         {{"red picked", Press, OnRed, {}, 0, Quiet, White, true},
          {"dragged, not picked again", Move, OnBlue, {}, 0, Quiet, White, true},
          {"dropped at 10 px: the first colour sounds correct", Release, {6, 8}, AskedRelease0, 0, Correct, PieRed,
           false},
          {"blue picked", Press, OnBlue, {}, 1, Quiet, PieRed, true},
          {"dropped: the second sounds mixed", Release, {-8, -6}, AskedRelease1, 1, Mixed, PieBlue, false}}},
        {"exactly 15 px is not on the centre",
         false,
         {true},
         {},
         {{"red", Press, OnRed, {}, 0, Quiet, White, true},
          {"asked, but only the wheel sound", Release, {9, 12}, AskedRelease0, 0, Wheel, White, false}}},
        {"true then false refuses",
         false,
         {true, false},
         {},
         {{"red", Press, OnRed, {}, 0, Quiet, White, true},
          {"both asked, silent", Release, {0, 0}, {"release 0", "release 0"}, 0, Quiet, White, false}}},
        {"false then true accepts",
         false,
         {false, true},
         {},
         {{"red", Press, OnRed, {}, 0, Quiet, White, true},
          {"both asked, dropped", Release, {0, 0}, {"release 0", "release 0"}, 0, Correct, PieRed, false}}},
        {"no listener refuses",
         false,
         {},
         {},
         {{"red", Press, OnRed, {}, 0, Quiet, White, true}, {"silent", Release, {0, 0}, {}, 0, Quiet, White, false}}},
        {"a sum of 150 is no colour, 151 is sampled",
         false,
         {true},
         {},
         {{"dim: no colour, no drop", Press, OnDim, {}, 6, Quiet, White, false},
          {"still asked, with number 6", Release, {40, 40}, AskedRelease6, 6, Wheel, White, false},
          {"red", Press, OnRed, {}, 0, Quiet, White, true},
          {"red dropped", Release, {0, 0}, AskedRelease0, 0, Correct, PieRed, false},
          {"faint: sampled, keeps the number", Press, OnFaint, {}, 0, Quiet, PieRed, true},
          {"the faint pixel dropped as the mixing colour", Release, {0, 0}, AskedRelease0, 0, Mixed, Faint, false}}},
        {"sliding off and back",
         false,
         {true},
         {},
         {{"red", Press, OnRed, {}, 0, Quiet, White, true},
          {"off: no colour, no drop", Roll, {90, 0}, {}, 6, Quiet, White, false},
          {"back on blue with the finger down: picked afresh", Move, OnBlue, {}, 1, Quiet, White, true},
          {"dropped", Release, {0, 0}, AskedRelease1, 1, Correct, PieBlue, false}}},
        {"lesson pie: a refused colour shows no drop and drops nothing",
         true,
         {true},
         {false},
         {{"red refused", Press, OnRed, {"press 0"}, 6, Quiet, White, false},
          {"released 5 px out: the number is 6", Release, {3, 4}, AskedRelease6, 6, Quiet, White, false}}},
        {"lesson pie: 12 px is too far, 5 px drops",
         true,
         {true},
         {true},
         {{"red accepted", Press, OnRed, {"press 0"}, 0, Quiet, White, true},
          {"12 px: not asked, silent", Release, {0, -12}, {}, 6, Quiet, White, false},
          {"red again", Press, OnRed, {"press 0"}, 0, Quiet, White, true},
          {"5 px: dropped, correct after no colour", Release, {3, 4}, AskedRelease0, 0, Correct, PieRed, false},
          {"blue", Press, OnBlue, {"press 1"}, 1, Quiet, PieRed, true},
          {"the number kept: the next drop sounds mixed", Release, {-4, 3}, AskedRelease1, 1, Mixed, PieBlue,
           false}}},
        {"lesson pie: no press listener refuses every colour",
         true,
         {true},
         {},
         {{"red", Press, OnRed, {}, 6, Quiet, White, false},
          {"released on the middle", Release, {0, 0}, AskedRelease6, 6, Quiet, White, false}}},
    };
    for (const Script& script : scripts)
        run(script);
}

TEST_F(ColorPieTest, ResetEmptiesTheNumberAndWhitensTheCentre)
{
    ColorPiePtr pie(new ColorPie(sprite(piePicture()), sprite(solid(10, 10, White))));
    TexturePtr center = discPicture(10);
    pie->setCenter(sprite(center, 40, 40));
    pie->setCenterColor(PieGreen);
    EXPECT_EQ(Colour(48, 144, 0, 240), center->getPixel(10, 10)) << "the 16-bit disc reads its top bits";
    EXPECT_EQ(Colour(0, 0, 0, 0), center->getPixel(0, 0)) << "transparent corners stay";
    pie->setCenterColor(Colour(10, 10, 10, 0));
    EXPECT_EQ(Colour(48, 144, 0, 240), center->getPixel(10, 10)) << "a colourless fill would wipe the disc out";
    pie->reset();
    EXPECT_EQ(6, pie->getSelectedColor());
    EXPECT_EQ(Colour(240, 240, 240, 240), center->getPixel(10, 10));
}
