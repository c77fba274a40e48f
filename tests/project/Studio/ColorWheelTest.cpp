// The colour wheel on a picture drawn by rule, as scripts of gestures.
#include "ColourTestSupport.h"

#include "Resources/Studio/LessonColorWheel.h"
#include "Tovrane/AudioPlayer.h"

#include <cstdio>

using namespace ColourTest;

namespace
{
class ColorWheelTest : public AudioFixture
{
protected:
    // The widget at (20, 40): its picture's middle is at (100, 120).
    template <typename W> boost::shared_ptr<W> build()
    {
        drop = solidPicture(40, 40, Colour(1, 2, 3, 255));
        boost::shared_ptr<W> w(new W(sprite(picture(160, 160, [](int x, int y) { return wheelColour(x - 80, 80 - y); })),
                                     sprite(drop)));
        w->movePosition(Vector3<tFixed>(tFixed(20), tFixed(40), tFixed(0)));
        w->setCenter(sprite(disc = discPicture(24), 76, 96));
        w->audioPlayer = audio.get();
        listen(w->colorEvent, [this](const Colour& c) { fired += text(c) + " "; });
        wheel = w;
        sounds();
        return w;
    }

    void perform(const Step& s) { ColourTest::perform(*wheel, P{100, 120}, s); }

    // Colours fired, sounds, first/second index (* mixed), ratio, the disc,
    // its rim unless light grey, and the drop while shown.
    std::string state()
    {
        char ratio[16];
        std::snprintf(ratio, sizeof(ratio), "r%.2f", wheel->getRatio());
        std::string s = (fired.empty() ? "- " : fired) + sounds() + std::to_string(wheel->getFirstIndex()) + "/" +
                        std::to_string(wheel->getSecondIndex()) + (wheel->isMixed() ? "* " : " ") + ratio + " disc " +
                        text(disc->getPixel(24, 24));
        if (disc->getPixel(24, 1) != Colour(240, 240, 240, 240))
            s += " rim " + text(disc->getPixel(24, 1));
        if (wheel->getPointer()->cullingMode == CullingMode::Show)
            s += " drop " + text(drop->getPixel(20, 20));
        fired.clear();
        return s;
    }

    void run(const std::vector<Step>& script)
    {
        build<ColorWheel>();
        for (const Step& s : script)
        {
            perform(s);
            EXPECT_EQ(s.state, state()) << s.what;
        }
    }

    ColorWheelPtr wheel;
    TexturePtr disc, drop;
    std::string fired;
};
}

TEST_F(ColorWheelTest, ATapPerSectorAndTheAnglesOfTheAxes)
{
    // Sector numbers counter-clockwise from the right: green 4, yellow 3, orange 6, red 1, purple 5, blue 2;
    // the ratio grows from 0 at 24 px to 1 at 75 px; the disc keeps four bits a channel.
    run({{"green at 30 degrees, 50 px", 'T', {43, 25}, "20,250,20,255 ColorWheelSfx 4/0 r0.38 disc 16,240,16,240"},
         {"yellow straight above, at the rim", 'T', {0, 75}, "250,250,20,255 ColorWheelSfx 3/0 r1.00 disc 240,240,16,240"},
         {"orange near the inner ring", 'T', {-29, 16}, "250,130,20,255 ColorWheelSfx 6/0 r0.10 disc 240,128,16,240"},
         {"red at 50 px", 'T', {-43, -25}, "250,20,20,255 ColorWheelSfx 1/0 r0.38 disc 240,16,16,240"},
         {"purple straight below", 'T', {0, -60}, "130,20,250,255 ColorWheelSfx 5/0 r0.60 disc 128,16,240,240"},
         {"blue at the rim", 'T', {65, -37}, "20,20,250,255 ColorWheelSfx 2/0 r0.99 disc 16,16,240,240"}});
    // Degrees are 180 / 3.14 a radian: straight above is 90.05 (yellow),
    // exactly left 180.09 and exactly right 0 (no sector).
    for (const auto& e : {std::make_pair(P{0, 64}, 90.0457f), {P{-64, 0}, 180.0916f}, {P{64, 0}, 0.0f}})
    {
        perform({"", 'T', e.first, ""});
        EXPECT_NEAR(e.second, wheel->getAngle(), 0.001);
        EXPECT_EQ(e.first.y ? 3 : 0, wheel->getFirstIndex());
    }
}

TEST_F(ColorWheelTest, MixingShadingAndGesturesThatChangeNothing)
{
    run({{"red from 50 px: the table's red times the ratio", 'D', {-40, -30}, "97,0,0,255 ColorsMixedSfx 1/0 r0.38 disc 96,0,0,240"},
         {"the finger on blue shows the drop in blue", 'P', {60, -45}, "- 1/0 r0.38 disc 96,0,0,240 drop 20,20,250,255"},
         {"blue from the rim: purple at the mean ratio", 'U', {0, 0}, "87,0,176,255 ColorsMixedSfx 5/2 r0.69 disc 80,0,176,240"},
         {"yellow completes the mixture: brown", 'D', {0, 75}, "117,58,16,255 ColorsMixedSfx 5/3* r0.85 disc 112,48,16,240"},
         {"a fourth colour is refused", 'D', {60, 45}, "112,48,16,0 WrongAnswerSfx 5/3* r0.85 disc 112,48,16,240"}});
    run({{"tap red", 'T', {-40, -30}, "250,20,20,255 ColorWheelSfx 1/0 r0.38 disc 240,16,16,240"},
         {"the dark half halves", 'D', {0, -28}, "120,8,8,240 ColorsMixedSfx 1/8 r0.38 disc 112,0,0,240"},
         {"the light half doubles", 'D', {0, 28}, "224,0,0,240 ColorsMixedSfx 1/9 r0.38 disc 224,0,0,240"},
         {"white-ish: black rim", 'T', {0, 25}, "255,255,255,255 ColorWheelSfx 9/0 r0.01 disc 240,240,240,240 rim 0,0,0,240"},
         {"begun on the light half, the dark half lightens too", 'D', {0, -28}, "255,255,255,240 ColorsMixedSfx 9/8 r0.01 disc 240,240,240,240 rim 0,0,0,240"},
         {"then red", 'D', {-60, -45}, "255,0,0,255 ColorsMixedSfx 1/1 r0.50 disc 240,0,0,240"}});
    const char* const black = "- 0/0 r0.00 disc 0,0,0,240";
    const char* const green = "- 9/0 r0.04 disc 32,240,32,240";
    run({{"a drag from exactly left names no colour", 'D', {-64, 0}, black},
         {"nor from exactly right", 'D', {64, 0}, black},
         {"a release in the centre without a press", 'U', {0, 0}, black},
         {"a touch that starts in the centre", 'D', {0, 10}, black, {0, 2}},
         {"a tap on a border: a colour, no index", 'T', {64, 0}, "20,250,20,255 ColorWheelSfx 0/0 r0.70 disc 16,240,16,240"},
         {"the inner ring starts a mixture, lightening it", 'D', {0, 28}, "32,255,32,240 ColorsMixedSfx 9/0 r0.04 disc 32,240,32,240"},
         {"a tap beyond the picture's right edge", 'D', {75, 0}, green, {84, 0}},
         {"or below its bottom edge", 'D', {0, -75}, green, {0, -84}},
         {"a press on red slides off", 'S', {-60, -45}, green, {-90, -70}},
         {"the next drag is the blue it starts on, lightened", 'D', {60, -45}, "0,0,255,255 ColorsMixedSfx 2/2 r0.52 disc 0,0,240,240"},
         {"the drop far down grows the widget", 'D', {0, -74}, "130,20,250,255 ColorWheelSfx 5/0 r0.94 disc 128,16,240,240", {0, -73}},
         {"and far up", 'D', {0, 75}, "250,250,20,255 ColorWheelSfx 3/0 r0.97 disc 240,240,16,240", {0, 74}}});
}

TEST_F(ColorWheelTest, TheInnerRingShadesAndAReleaseWithoutAPressIsATap)
{
    // A tap, then a drag from the inner ring into the centre: the shade
    // halves only when neither the tap nor the drag was on the light half.
    // The ring dragged into an empty centre begins the mixture itself.
    const struct
    {
        const char* what;
        P tap, ring;
        const char* state;
    } shades[] = {
        {"red, then the dark half", {-40, -30}, {0, -28}, "120,8,8,240 ColorsMixedSfx 1/8 r0.38 disc 112,0,0,240"},
        {"red, then the light half", {-40, -30}, {0, 28}, "255,32,32,240 ColorsMixedSfx 1/9 r0.38 disc 240,32,32,240"},
        {"the light half, then the dark half", {0, 25}, {0, -28},
         "255,255,255,240 ColorsMixedSfx 9/8 r0.01 disc 240,240,240,240 rim 0,0,0,240"},
        {"the dark half, then the light half", {0, -25}, {0, 28}, "96,96,96,240 ColorsMixedSfx 8/9 r0.01 disc 96,96,96,240"},
        {"the dark half twice", {0, -25}, {0, -28}, "24,24,24,240 ColorsMixedSfx 8/8 r0.01 disc 16,16,16,240"},
    };
    for (const auto& s : shades)
    {
        build<ColorWheel>();
        perform({"", 'T', s.tap, ""});
        state();
        perform({"", 'D', s.ring, ""});
        EXPECT_EQ(s.state, state()) << s.what;
    }
    run({{"the dark half into the empty centre starts a mixture", 'D', {0, -28}, "0,0,0,255 ColorsMixedSfx 8/0 r0.04 disc 0,0,0,240"},
         {"red joins it darkened", 'D', {-60, -45}, "127,0,0,255 ColorsMixedSfx 1/1 r0.52 disc 112,0,0,240"}});
    // The point of the last press still counts once the press has ended.
    run({{"a tap on the dark half near the horizontal", 'T', {-25, -3}, "60,60,60,255 ColorWheelSfx 8/0 r0.01 disc 48,48,48,240"},
         {"a lift on the disc's edge 4 px away, without a press", 'U', {-24, 0},
          "255,255,255,255 ColorWheelSfx 9/0 r0.00 disc 240,240,240,240 rim 0,0,0,240"},
         {"a touch kept in the centre, lifted 10 px from that press", 'D', {-10, 0},
          "- 9/0 r0.00 disc 240,240,240,240 rim 0,0,0,240", {-15, -3}}});
}

TEST_F(ColorWheelTest, LessonWheelUndoesWhatItsListenersRefuse)
{
    bool answer = false;
    std::string asked;
    LessonColorWheelPtr lesson = build<LessonColorWheel>();
    const auto drag = [&](P from) { perform({"", 'D', from, ""}); };
    drag(P{-60, -45});
    EXPECT_EQ("255,0,0,255 ColorsMixedSfx 0/0 r1.00 disc 0,0,0,240", state()) << "no listener: undone, yet fired";
    listen(lesson->mixEvent, [&](const ColorWheelArgs& a) {
        asked += text(a.color) + " " + std::to_string(a.firstIndex) + " " + std::to_string(int(a.angle));
        return answer;
    });
    drag(P{-60, -45});
    EXPECT_EQ("240,0,0,240 1 -143", asked) << "asked with the state after the release";
    EXPECT_EQ("255,0,0,255 ColorsMixedSfx 0/0 r1.00 disc 0,0,0,240", state()) << "refused: black again";
    EXPECT_EQ(Colour(0, 0, 0, 255), lesson->getCenterColor());

    answer = true;
    for (P from : {P{-60, -45}, P{60, -45}, P{0, 75}})
        drag(from);
    fired.clear();
    EXPECT_EQ("ColorsMixedSfx ColorsMixedSfx ColorsMixedSfx 5/3* r1.00 disc 128,64,16,240", state().substr(2));
    lesson->reset(); // the next two drags mix again; the centre keeps its colour
    drag(P{60, -45});
    drag(P{0, 75});
    EXPECT_EQ("0,0,255,255 0,255,0,255 ColorsMixedSfx ColorsMixedSfx 4/3 r1.00 disc 0,240,0,240", state());
}
