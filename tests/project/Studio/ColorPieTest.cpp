// The colour pie and the lesson pie as scripts of touches.
#include "ColourTestSupport.h"

#include "Resources/Studio/LessonColorPie.h"
#include "Tovrane/AudioPlayer.h"

using namespace ColourTest;

namespace
{
// Slices counter-clockwise from the right, red, blue, yellow, purple, green,
// orange, within 48 pixels; top corners: dim (r + g + b 150) left, faint (151) right.
TexturePtr piePicture()
{
    const Colour slices[6] = {Colour(192, 0, 0, 255), Colour(0, 0, 192, 255), Colour(240, 240, 0, 255),
                              Colour(144, 0, 192, 255), Colour(48, 144, 0, 255), Colour(240, 144, 0, 255)};
    return picture(100, 100, [&](int x, int y) {
        if ((x - 50) * (x - 50) + (50 - y) * (50 - y) <= 48 * 48)
            return slices[int((std::atan2(50 - y, x - 50) * 180.0 / M_PI + 360.0) / 60.0) % 6];
        return y >= 5 || (x >= 5 && x < 95) ? Colour() : x < 5 ? Colour(50, 50, 50, 255) : Colour(51, 50, 50, 255);
    });
}

const P OnRed{26, 15}, OnBlue{0, 30}, OnDim{-48, 48}, OnFaint{48, 48};

struct Script
{
    const char* what;
    bool lesson;
    std::vector<bool> releaseAnswers, pressAnswers; // one listener for each answer, in order
    std::vector<Step> steps;
};

struct ColorPieTest : AudioFixture
{
    // After each step: the questions asked, the sounds, "n" and the colour
    // number, the centre's colour, and "drop" while the drop shows.
    void run(const Script& script)
    {
        TexturePtr center = solidPicture(20, 20, Colour(255, 255, 255, 255)), drop = solidPicture(10, 10, Colour());
        ColorPiePtr pie(script.lesson ? new LessonColorPie(sprite(piePicture()), sprite(drop))
                                      : new ColorPie(sprite(piePicture()), sprite(drop)));
        pie->setCenter(sprite(center, 40, 40));
        pie->movePosition(Vector3<tFixed>(tFixed(100), tFixed(70), tFixed(0)));
        pie->audioPlayer = audio.get();
        std::string asked;
        for (int event = 0; event < (script.lesson ? 2 : 1); ++event) // each writes the question down and answers
            for (bool answer : event ? script.pressAnswers : script.releaseAnswers)
                listen(event ? static_cast<LessonColorPie&>(*pie).pressEvent : pie->releaseEvent,
                       [&asked, event, answer](const ColorPieArgs& a) {
                           asked += (event ? "press" : "release") + std::to_string(a.color) + " ";
                           return answer;
                       });
        sounds();
        for (const Step& s : script.steps)
        {
            perform(*pie, P{150, 120}, s);
            const std::string state = asked + sounds() + "n" + std::to_string(pie->getSelectedColor()) + " " +
                                      text(center->getPixel(10, 10)) +
                                      (pie->getPointer()->cullingMode == CullingMode::Show ? " drop" : "");
            EXPECT_EQ(s.state, state) << script.what << ": " << s.what;
            asked.clear();
        }
    }
};
}

TEST_F(ColorPieTest, PiesDropWhatTheirListenersAccept)
{
    const char* const red = "n0 255,255,255,255 drop";
    const Script scripts[] = {
        {"red, then blue, dropped 10 px from the middle", false, {true}, {},
         {{"red picked", 'P', OnRed, red}, {"dragged over blue, not picked again", 'P', OnBlue, red},
          {"the first colour sounds correct", 'U', {6, 8}, "release0 CorrectAnswerSfx n0 192,0,0,255"},
          {"blue picked", 'P', OnBlue, "n1 192,0,0,255 drop"},
          {"the second sounds mixed", 'U', {-8, -6}, "release1 ColorsMixedSfx n1 0,0,192,255"}}},
        {"exactly 15 px is not on the centre", false, {true}, {},
         {{"red", 'P', OnRed, red}, {"asked; the wheel sound", 'U', {9, 12}, "release0 ColorWheelSfx n0 255,255,255,255"}}},
        {"true then false refuses", false, {true, false}, {},
         {{"red", 'P', OnRed, red}, {"both asked, silent", 'U', {0, 0}, "release0 release0 n0 255,255,255,255"}}},
        {"false then true accepts", false, {false, true}, {},
         {{"red", 'P', OnRed, red}, {"dropped", 'U', {0, 0}, "release0 release0 CorrectAnswerSfx n0 192,0,0,255"}}},
        {"no listener refuses", false, {}, {}, {{"red", 'P', OnRed, red}, {"silent", 'U', {0, 0}, "n0 255,255,255,255"}}},
        {"a sum of 150 is no colour, 151 is sampled", false, {true}, {},
         {{"dim: no colour, no drop", 'P', OnDim, "n6 255,255,255,255"},
          {"still asked, with number 6", 'U', {40, 40}, "release6 ColorWheelSfx n6 255,255,255,255"}, {"red", 'P', OnRed, red},
          {"red dropped", 'U', {0, 0}, "release0 CorrectAnswerSfx n0 192,0,0,255"},
          {"faint: sampled, the number kept", 'P', OnFaint, "n0 192,0,0,255 drop"},
          {"dropped as a second colour", 'U', {0, 0}, "release0 ColorsMixedSfx n0 51,50,50,255"}}},
        {"sliding off and back", false, {true}, {},
         {{"red", 'P', OnRed, red}, {"off: no colour, no drop", 'R', {90, 0}, "n6 255,255,255,255"},
          {"back on blue, the finger still down: picked afresh", 'P', OnBlue, "n1 255,255,255,255 drop"},
          {"dropped", 'U', {0, 0}, "release1 CorrectAnswerSfx n1 0,0,192,255"}}},
        {"lesson pie: a colour refused at the press is never dropped", true, {true}, {false},
         {{"red refused: no drop", 'P', OnRed, "press0 n6 255,255,255,255"},
          {"5 px out: asked with 6, nothing dropped", 'U', {3, 4}, "release6 n6 255,255,255,255"}}},
        {"lesson pie: 12 px is too far, 5 px drops", true, {true}, {true},
         {{"red accepted", 'P', OnRed, "press0 n0 255,255,255,255 drop"}, {"12 px: not asked, silent", 'U', {0, -12}, "n6 255,255,255,255"},
          {"red again", 'P', OnRed, "press0 n0 255,255,255,255 drop"},
          {"5 px: dropped, correct after no colour", 'U', {3, 4}, "release0 CorrectAnswerSfx n0 192,0,0,255"},
          {"blue", 'P', OnBlue, "press1 n1 192,0,0,255 drop"},
          {"the number was kept: mixed", 'U', {-4, 3}, "release1 ColorsMixedSfx n1 0,0,192,255"}}},
        {"lesson pie: no press listener refuses every colour", true, {true}, {},
         {{"red", 'P', OnRed, "n6 255,255,255,255"}, {"on the middle", 'U', {0, 0}, "release6 n6 255,255,255,255"}}},
    };
    for (const Script& script : scripts)
        run(script);
}

TEST_F(ColorPieTest, ResetAndColourlessFillsLeaveTheDiscWhole)
{
    ColorPie pie(sprite(piePicture()), sprite(solidPicture(10, 10, Colour())));
    TexturePtr center = discPicture(10);
    pie.setCenter(sprite(center, 40, 40));
    pie.setCenterColor(Colour(48, 144, 0, 255));
    pie.setCenterColor(Colour(10, 10, 10, 0)); // would wipe the disc out for good
    EXPECT_EQ("48,144,0,240 0,0,0,0", text(center->getPixel(10, 10)) + " " + text(center->getPixel(0, 0)));
    pie.reset();
    EXPECT_EQ("6 240,240,240,240", std::to_string(pie.getSelectedColor()) + " " + text(center->getPixel(10, 10)));
}
