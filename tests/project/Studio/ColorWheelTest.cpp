// The colour wheel on a picture drawn by rule: taps, mixing, shading, the rim
// rule and the gestures that must change nothing; then the lesson wheel's veto.
#include "ColourTestSupport.h"

#include "Resources/Studio/ColorPicture.h"
#include "Resources/Studio/ColorWheel.h"
#include "Resources/Studio/LessonColorWheel.h"
#include "Tovrane/AudioPlayer.h"

#include <cmath>
#include <cstring>
#include <random>

using namespace Tovrane;
using namespace ColourTest;

namespace
{
struct P
{
    int x, y; // from the wheel's middle, y up
};

enum Kind
{
    Tap,     // press and release at `from`
    Drag,    // press at `from`, move to `to` and release there
    Roll,    // press at `from`, slide off at `to`
    Release, // a release at `to` with no press before
    Press    // a press at `from`, finger kept down
};

const float Skip = NAN;

struct Step
{
    const char* what;
    Kind kind;
    P from, to;
    bool fires;
    Colour fired;
    Journal sounds;
    int first, second;
    bool mixed;
    Colour disc;          // as the 16-bit disc reads back
    Colour pointer = None; // shown in this colour, or hidden
    float ratio = Skip, angle = Skip;
};

inline Colour reduced(const Colour& c) { return Colour(c.r & 0xF0, c.g & 0xF0, c.b & 0xF0, c.a & 0xF0); }

class ColorWheelTest : public AudioFixture
{
protected:
    // The wheel widget at (20, 40): its picture's middle is at (100, 120).
    template <typename W> boost::shared_ptr<W> build()
    {
        root.reset(new Node);
        pointerPicture = solid(40, 40, Colour(1, 2, 3, 255));
        boost::shared_ptr<W> w(new W(sprite(wheelPicture()), sprite(pointerPicture)));
        w->setPosition(Vector3<tFixed>(tFixed(20), tFixed(40), tFixed(0)));
        disc = discPicture(24);
        w->setCenter(sprite(disc, 76, 96));
        w->audioPlayer = audio.get();
        w->colorEvent += new Event<void, const Colour&>::MethodDelegate<ColorWheelTest>(this, &ColorWheelTest::onColour);
        root->addChild(w);
        wheel = w;
        return w;
    }

    void onColour(const Colour& c) { fired.push_back(c); }

    void press(P p)
    {
        root->update(0);
        wheel->onPress(100 + p.x, 120 + p.y);
    }
    void release(P p)
    {
        root->update(0);
        wheel->onRelease(100 + p.x, 120 + p.y);
    }

    void perform(const Step& s)
    {
        switch (s.kind)
        {
        case Tap:
            press(s.from);
            release(s.from);
            break;
        case Drag:
            press(s.from);
            press(s.to);
            release(s.to);
            break;
        case Roll:
            press(s.from);
            root->update(0);
            wheel->onRolloff(100 + s.to.x, 120 + s.to.y);
            break;
        case Release:
            release(s.to);
            break;
        case Press:
            press(s.from);
            break;
        }
    }

    void run(const std::vector<Step>& script)
    {
        build<ColorWheel>();
        sounds();
        for (const Step& s : script)
        {
            SCOPED_TRACE(s.what);
            fired.clear();
            perform(s);
            EXPECT_EQ(s.fires ? std::vector<Colour>{s.fired} : std::vector<Colour>(), fired);
            EXPECT_EQ(s.sounds, sounds());
            EXPECT_EQ(s.first, wheel->getFirstIndex());
            EXPECT_EQ(s.second, wheel->getSecondIndex());
            EXPECT_EQ(s.mixed, wheel->isMixed());
            EXPECT_EQ(s.disc, disc->getPixel(24, 24)) << "disc";
            EXPECT_EQ(s.pointer.a != 0, wheel->getPointer()->cullingMode == CullingMode::Show);
            EXPECT_TRUE(s.pointer.a == 0 || s.pointer == pointerPicture->getPixel(20, 20));
            EXPECT_TRUE(std::isnan(s.ratio) || std::abs(s.ratio - wheel->getRatio()) < 1e-4) << wheel->getRatio();
            EXPECT_TRUE(std::isnan(s.angle) || std::abs(s.angle - wheel->getAngle()) < 0.01) << wheel->getAngle();
        }
    }

    NodePtr root;
    ColorWheelPtr wheel;
    TexturePtr disc, pointerPicture;
    std::vector<Colour> fired;
};

const Colour Start(0, 0, 0, 240); // the black disc as it reads back
const Journal Quiet, Wheel{WheelSound}, Mixed{MixedSound}, Wrong{WrongSound};
const float At50 = (2500.0f - 576.0f) / 5049.0f;
}

TEST_F(ColorWheelTest, TapsTakeThePictureColourAndStartANewMixture)
{
    run({{"green", Tap, {30, 40}, {}, true, Green, Wheel, 4, 0, false, reduced(Green), None, At50},
         {"orange", Tap, {-30, 40}, {}, true, Orange, Wheel, 6, 0, false, reduced(Orange)},
         {"straight above: yellow at 90.05 degrees", Tap, {0, 64}, {}, true, Yellow, Wheel, 3, 0, false,
          reduced(Yellow), None, Skip, 90.0457f},
         {"red", Tap, {-40, -30}, {}, true, Red, Wheel, 1, 0, false, reduced(Red)},
         {"purple, at the rim: ratio 1", Tap, {0, -75}, {}, true, Purple, Wheel, 5, 0, false, reduced(Purple), None,
          1.0f},
         {"blue", Tap, {40, -30}, {}, true, Blue, Wheel, 2, 0, false, reduced(Blue)},
         {"exactly right: angle 0 is no sector", Tap, {64, 0}, {}, true, Green, Wheel, 0, 0, false, reduced(Green),
          None, Skip, 0.0f},
         {"exactly left: 180.09 degrees is no sector", Tap, {-64, 0}, {}, true, Orange, Wheel, 0, 0, false,
          reduced(Orange), None, Skip, 180.0916f},
         {"light ring near its inner edge: ratio near 0, white-ish turns the rim black", Tap, {0, 25}, {}, true,
          Light, Wheel, 9, 0, false, reduced(Light), None, 49.0f / 5049.0f},
         {"a release in the centre with no press picks nothing", Release, {}, {0, 0}, false, {}, Quiet, 9, 0, false,
          reduced(Light)},
         {"a touch that starts in the centre records nothing", Drag, {0, 10}, {0, 2}, false, {}, Quiet, 9, 0, false,
          reduced(Light)}});
    EXPECT_EQ(Start, disc->getPixel(24, 1)) << "rim after a white-ish colour";
}

TEST_F(ColorWheelTest, DragsMixPrimariesThenCompleteTheMixtureThenRefuse)
{
    run({{"red from 50 px: the table's red times the ratio", Drag, {-40, -30}, {0, 0}, true, Colour(97, 0, 0, 255),
          Mixed, 1, 0, false, Colour(96, 0, 0, 240), None, At50},
         {"the finger down on blue shows the drop in blue", Press, {60, -45}, {}, false, {}, Quiet, 1, 0, false,
          Colour(96, 0, 0, 240), Blue},
         {"blue from the rim: purple at the average ratio", Release, {}, {0, 0}, true, Colour(87, 0, 176, 255),
          Mixed, 5, 2, false, Colour(80, 0, 176, 240), None, (At50 + 1.0f) / 2},
         {"yellow completes the mixture: brown", Drag, {0, 75}, {0, 0}, true, Colour(117, 58, 16, 255), Mixed, 5, 3,
          true, Colour(112, 48, 16, 240)},
         {"a fourth colour is refused with alpha 0", Drag, {60, 45}, {0, 0}, true, Colour(112, 48, 16, 0), Wrong, 5, 3,
          true, Colour(112, 48, 16, 240)}});
    EXPECT_EQ(Colour(240, 240, 240, 240), disc->getPixel(24, 1)) << "rim stays light grey";
}

TEST_F(ColorWheelTest, InnerRingShadesByTheDragsOwnHalf)
{
    run({{"tap red", Tap, {-40, -30}, {}, true, Red, Wheel, 1, 0, false, reduced(Red)},
         {"dark half halves", Drag, {0, -28}, {0, 0}, true, Colour(120, 8, 8, 240), Mixed, 1, 8, false,
          Colour(112, 0, 0, 240)},
         {"light half doubles", Drag, {0, 28}, {0, 0}, true, Colour(224, 0, 0, 240), Mixed, 1, 9, false,
          Colour(224, 0, 0, 240)},
         {"tap the light half", Tap, {0, 26}, {}, true, Light, Wheel, 9, 0, false, reduced(Light)},
         {"a drag from the dark half still darkens", Drag, {0, -28}, {0, 0}, true, Colour(120, 120, 120, 240), Mixed,
          9, 8, false, Colour(112, 112, 112, 240)},
         {"then red: the ring index gives way to the colour", Drag, {-60, -45}, {0, 0}, true, Colour(255, 0, 0, 255),
          Mixed, 1, 1, false, reduced(Colour(255, 0, 0, 255))}});
}

TEST_F(ColorWheelTest, GesturesThatMixNothing)
{
    run({{"a drag from exactly left names no colour", Drag, {-64, 0}, {0, 0}, false, {}, Quiet, 0, 0, false, Start},
         {"nor from exactly right", Drag, {64, 0}, {0, 0}, false, {}, Quiet, 0, 0, false, Start},
         {"a tap on the border leaves the centre without a colour index", Tap, {64, 0}, {}, true, Green, Wheel, 0, 0,
          false, reduced(Green)},
         {"an inner-ring drag into it lightens it like a full one", Drag, {0, 28}, {0, 0}, true,
          Colour(32, 255, 32, 240), Mixed, 0, 9, false, Colour(32, 240, 32, 240)},
         {"a tap beyond the picture's right edge reads no pixel", Drag, {75, 0}, {84, 0}, false, {}, Quiet, 0, 9,
          false, Colour(32, 240, 32, 240)},
         {"nor below its bottom edge", Drag, {0, -75}, {0, -84}, false, {}, Quiet, 0, 9, false,
          Colour(32, 240, 32, 240)},
         {"a press on red slides off: the press ends", Roll, {-60, -45}, {-90, -70}, false, {}, Quiet, 0, 9, false,
          Colour(32, 240, 32, 240)},
         {"the next drag is the blue it starts on", Drag, {60, -45}, {0, 0}, true, Colour(0, 0, 255, 255), Mixed, 2,
          0, false, Colour(0, 0, 240, 240)},
         {"with the drop far up, the widget grows but the middle stays", Drag, {0, 75}, {0, 74}, true, Yellow, Wheel,
          3, 0, false, reduced(Yellow), None, (5476.0f - 576.0f) / 5049.0f},
         {"and a tap after it still measures from the picture", Tap, {30, 40}, {}, true, Green, Wheel, 4, 0, false,
          reduced(Green), None, At50}});
}

TEST_F(ColorWheelTest, LessonWheelUndoesWhatItsListenersRefuse)
{
    struct Judge
    {
        bool answer;
        std::vector<ColorWheelArgs> asked;
        bool onMix(const ColorWheelArgs& a)
        {
            asked.push_back(a);
            return answer;
        }
    } judge{false, {}};
    LessonColorWheelPtr lesson = build<LessonColorWheel>();
    const auto drag = [&](P from) {
        press(from);
        release(P{0, 0});
    };
    // No listener: every release is undone, but the colour event has fired.
    drag(P{-60, -45});
    EXPECT_EQ(std::vector<Colour>{Colour(255, 0, 0, 255)}, fired);
    EXPECT_EQ(0, lesson->getFirstIndex());
    EXPECT_EQ(Start, disc->getPixel(24, 24));

    lesson->mixEvent += new Event<bool, const ColorWheelArgs&>::MethodDelegate<Judge>(&judge, &Judge::onMix);
    drag(P{-60, -45});
    ASSERT_EQ(1u, judge.asked.size());
    EXPECT_EQ(Colour(240, 0, 0, 240), judge.asked[0].color) << "asked with the state after the release";
    EXPECT_EQ(1, judge.asked[0].firstIndex);
    EXPECT_NEAR(-143.2f, judge.asked[0].angle, 0.1);
    EXPECT_EQ(Start, disc->getPixel(24, 24)) << "refused: the disc is black again";
    EXPECT_EQ(Colour(0, 0, 0, 255), lesson->getCenterColor());

    // Accepted, red and blue make purple and complete after a third colour.
    judge.answer = true;
    drag(P{-60, -45});
    drag(P{60, -45});
    drag(P{0, 75});
    EXPECT_TRUE(lesson->isMixed());
    // reset lets the next two drags mix again; the centre keeps its colour.
    lesson->reset();
    EXPECT_EQ(0, lesson->getFirstIndex());
    EXPECT_EQ(Colour(128, 64, 16, 240), disc->getPixel(24, 24));
    drag(P{60, -45});
    drag(P{0, 75});
    EXPECT_EQ(4, lesson->getFirstIndex()) << "blue and yellow";
    EXPECT_EQ(Colour(0, 240, 0, 240), disc->getPixel(24, 24));
}

// The 16-bit page is repainted word by word; a plain read and write per pixel
// must give the same page, for colours that fit in four bits and ones that
// do not (those match nothing).
TEST(ColorPictureTest, RepaintedPageMatchesAPixelByPixelReference)
{
    std::mt19937 random(7);
    const Colour palette[] = {Black, Rim, Colour(240, 0, 0, 255), Colour(16, 32, 48, 255), Colour(0, 0, 0, 0),
                              Colour(240, 240, 240, 0)};
    const auto pick = [&] { return palette[random() % 6]; };
    for (int round = 0; round < 50; ++round)
    {
        TexturePtr page(new Texture(37, 23, PixelFormat::RGBA4444, true, 0));
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x)
                page->setPixel(round % 5 == 0 ? Colour(random(), random(), random(), random()) : pick(), x, y);
        TexturePtr expected = page->copy();
        const Colour fromA = round % 7 == 0 ? Colour(17, 0, 0, 255) : pick(), toA(random(), random(), random(), 255);
        const Colour fromB = pick(), toB(random(), random(), random(), 255);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x)
            {
                const Colour c = expected->getPixel(x, y);
                if (ColorPicture::isSameColor(c, fromA))
                    expected->setPixel(Colour(toA.r, toA.g, toA.b, c.a), x, y);
                else if (ColorPicture::isSameColor(c, fromB))
                    expected->setPixel(Colour(toB.r, toB.g, toB.b, c.a), x, y);
            }
        ColorPicture::swapColours(page, fromA, toA, fromB, toB);
        ASSERT_EQ(0, std::memcmp(expected->getPixels(), page->getPixels(), 37 * 23 * 2)) << "round " << round;
    }
}
