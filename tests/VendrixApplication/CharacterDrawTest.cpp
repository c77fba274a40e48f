// A character with a looping idle, a blink and a lip flap, built by a scene
// manager from description files the test writes, animated by its character
// controller and drawn through the OpenGL ES 1 renderer into the headless
// pbuffer.
#include "CharacterTestSupport.h"
#include "GLES1Renderer/RendererFixture.h"

#include "Tovrane/CharacterController.h"
#include "Tovrane/LipFlapController.h"
#include "Tovrane/SceneManager.h"

#include <algorithm>

using namespace Tovrane;
using namespace CharacterTestSupport;

namespace
{
const Rgba kWhite(255, 255, 255, 255);
// Colours that 4-bit channels keep exactly.
const Rgba kIdle[4] = {Rgba(255, 0, 0, 255), Rgba(0, 255, 0, 255), Rgba(0, 0, 255, 255), Rgba(255, 255, 0, 255)};
const Rgba kBlink[2] = {Rgba(255, 0, 255, 255), Rgba(0, 255, 255, 255)};
const Rgba kMouth[3] = {Rgba(136, 0, 0, 255), Rgba(0, 136, 0, 255), Rgba(0, 0, 136, 255)};

// Where the probes look: on the body only, on the eyes, on the mouth.
const int kBodyX = 44, kBodyY = 44;
const int kEyesX = 56, kEyesY = 60;
const int kMouthX = 56, kMouthY = 46;

const Rgba kAnyIdle(1, 1, 1, 1); // in a probe: whichever idle frame is shown

struct TimedProbe
{
    unsigned int t;
    int x, y;
    Rgba want;
};

class CharacterDraw : public RendererFixture
{
protected:
    void SetUp() override
    {
        RendererFixture::SetUp();
        const std::string folder = SpriteTestSupport::freshFolder("character-draw");
        // One 512 x 512 sheet: idle frames 32 x 32 in the first row of cells,
        // blink frames 16 x 16 in the second, mouth frames 16 x 8 in the third.
        TexturePtr sheet(new Texture(512, 512, PixelFormat::RGBA8888, true, 0));
        SpriteTestSupport::Block block;
        block.texture = "stage_sheet.png";
        auto cell = [&](const std::string& name, int column, int row, int w, int h, const Rgba& colour, int x,
                         int y) {
            for (int j = 0; j < h; ++j)
                for (int i = 0; i < w; ++i)
                    sheet->setPixel(colour, column * 32 + i, row * 32 + j);
            block.records.push_back(
                SpriteTestSupport::sprite(name, column * 32, column * 32 + w, row * 32, row * 32 + h, x, y));
        };
        for (int i = 0; i < 4; ++i)
            cell(frameName("stage", "guide", "idle", i + 1), i, 0, 32, 32, kIdle[i], 40, 40);
        for (int i = 0; i < 2; ++i)
            cell(frameName("stage", "guide", "blink", i + 1), i, 1, 16, 16, kBlink[i], 48, 52);
        for (int i = 0; i < 3; ++i)
            cell(frameName("stage", "guide", "mouth", i + 1), i, 2, 16, 8, kMouth[i], 48, 42);
        SpriteTestSupport::savePicture(sheet, folder + "images/stage_sheet.png");
        SpriteTestSupport::writeFile(folder + "metadata/stage.tex", SpriteTestSupport::encode({block}));
        SpriteTestSupport::writeFile(
            folder + "metadata/stage.chr",
            encode({Record{"guide", {{"stage", "idle", 4}, {"stage", "blink", 2}, {"stage", "mouth", 3}}}}));

        scenes.addMetadataPath(folder + "metadata/");
        scenes.addTexturePath(folder + "images/");
        scenes.addSceneInfo("stage");
        character = scenes.getCharacter("guide");
        ASSERT_TRUE(character);
        controller.reset(new CharacterController);
        controller->setRandomSource([] { return 0; }); // every blink delay 2000 ms
        character->addController(controller);
        controller->setBlinkAnimation("blink");
        controller->setLipFlapAnimation("mouth", true);
        root->addChild(character);
        controller->play();
    }

    // Draws over white at each new control time t of the probes (application
    // time 1000 + t) and looks at their pixels.
    void check(const std::vector<TimedProbe>& probes)
    {
        for (size_t i = 0; i < probes.size(); ++i)
        {
            const TimedProbe& p = probes[i];
            if (i == 0 || p.t != probes[i - 1].t)
                frame(1, 1, 1, 1, 1000 + p.t);
            const Rgba got = at(p.x, p.y);
            if (p.want == kAnyIdle)
                EXPECT_TRUE(std::find(kIdle, kIdle + 4, got) != kIdle + 4)
                    << "at " << p.t << ": " << testing::PrintToString(got);
            else
                EXPECT_EQ(p.want, got) << "at " << p.t << ", pixel " << p.x << ", " << p.y;
        }
    }

    SceneManager scenes;
    CharacterPtr character;
    CharacterControllerPtr controller;
};
}

TEST_F(CharacterDraw, IdleBlinkAndLipFlap)
{
    // Nothing but the idle before the controller's first step; it loops
    // through its frames every 83 ms. The blink comes just after 2000 ms and
    // holds its last frame.
    check({{0, kBodyX, kBodyY, kIdle[0]},
           {0, kEyesX, kEyesY, kIdle[0]},
           {0, kMouthX, kMouthY, kIdle[0]},
           {0, 39, 44, kWhite},
           {0, 72, 44, kWhite},
           {83, kBodyX, kBodyY, kIdle[1]},
           {166, kBodyX, kBodyY, kIdle[2]},
           {249, kBodyX, kBodyY, kIdle[3]},
           {2000, kEyesX, kEyesY, kAnyIdle},
           {2001, kEyesX, kEyesY, kBlink[0]},
           {2001 + 83, kEyesX, kEyesY, kBlink[1]},
           {2001 + 1000, kEyesX, kEyesY, kBlink[1]},
           {2001 + 1000, kBodyX, kBodyY, kAnyIdle}});

    // Speech: a random mouth frame every 83 ms, on top of the body. The
    // loop's end still counts as its last period: the third change comes
    // 1 ms late.
    LipFlapControllerPtr lipFlap = boost::dynamic_pointer_cast<LipFlapController>(
        character->getAnimationController(character->getAnimation("mouth")));
    ASSERT_TRUE(lipFlap);
    int next = 0;
    lipFlap->setRandomSource([&] { return 2 - next++ % 3; });
    controller->playLipFlapAnimation(true);
    check({{3100, kMouthX, kMouthY, kMouth[0]},
           {3100 + 83, kMouthX, kMouthY, kMouth[2]},
           {3100 + 166, kMouthX, kMouthY, kMouth[1]},
           {3100 + 249, kMouthX, kMouthY, kMouth[1]},
           {3100 + 250, kMouthX, kMouthY, kMouth[0]}});
    // The line has ended: the mouth is gone, the body shows through.
    controller->stopLipFlapAnimation();
    check({{3500, kMouthX, kMouthY, kAnyIdle}});
}
