// A character with a looping idle, a blink and a lip flap, built by a scene
// manager from description files the test writes, animated by its character
// controller and drawn through the OpenGL ES 1 renderer into the headless
// pbuffer.
#include "CharacterTestSupport.h"
#include "GLES1Renderer/RendererFixture.h"

#include "Tovrane/CharacterController.h"
#include "Tovrane/LipFlapController.h"
#include "Tovrane/SceneManager.h"

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

bool isIdle(const Rgba& colour)
{
    for (const Rgba& idle : kIdle)
        if (colour == idle)
            return true;
    return false;
}

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

    // Steps the scene to control time t (application time 1000 + t), draws it
    // over white and reads it back.
    void drawAt(unsigned int t)
    {
        glClearColor(1, 1, 1, 1);
        renderer->clearBuffers(0, 0, 320, 240);
        root->update(1000 + t);
        culler.computeVisible(root);
        renderer->drawScene(culler);
        renderer->swapBuffers();
        pixels = Vantorel::Kelm::KelmOpenGLConfig::readFrame();
    }

    SceneManager scenes;
    CharacterPtr character;
    CharacterControllerPtr controller;
};
}

TEST_F(CharacterDraw, IdleBlinkAndLipFlap)
{
    // Nothing is shown before the controller's first step.
    drawAt(0);
    EXPECT_EQ(kIdle[0], at(kBodyX, kBodyY));
    EXPECT_EQ(kIdle[0], at(kEyesX, kEyesY));
    EXPECT_EQ(kIdle[0], at(kMouthX, kMouthY));
    EXPECT_EQ(kWhite, at(39, 44));
    EXPECT_EQ(kWhite, at(72, 44));

    // The idle loops through its frames every 83 ms.
    drawAt(83);
    EXPECT_EQ(kIdle[1], at(kBodyX, kBodyY));
    drawAt(166);
    EXPECT_EQ(kIdle[2], at(kBodyX, kBodyY));
    drawAt(249);
    EXPECT_EQ(kIdle[3], at(kBodyX, kBodyY));
    drawAt(2000);
    EXPECT_TRUE(isIdle(at(kEyesX, kEyesY)));

    // The blink comes just after 2000 ms and holds its last frame.
    drawAt(2001);
    EXPECT_EQ(kBlink[0], at(kEyesX, kEyesY));
    drawAt(2001 + 83);
    EXPECT_EQ(kBlink[1], at(kEyesX, kEyesY));
    drawAt(2001 + 1000);
    EXPECT_EQ(kBlink[1], at(kEyesX, kEyesY));
    EXPECT_TRUE(isIdle(at(kBodyX, kBodyY)));

    // Speech: a random mouth frame every 83 ms, on top of the body.
    LipFlapControllerPtr lipFlap = boost::dynamic_pointer_cast<LipFlapController>(
        character->getAnimationController(character->getAnimation("mouth")));
    ASSERT_TRUE(lipFlap);
    int frames[] = {2, 1, 0};
    int next = 0;
    lipFlap->setRandomSource([&] { return frames[next++ % 3]; });
    controller->playLipFlapAnimation(true);
    drawAt(3100);
    EXPECT_EQ(kMouth[0], at(kMouthX, kMouthY));
    drawAt(3100 + 83);
    EXPECT_EQ(kMouth[2], at(kMouthX, kMouthY));
    drawAt(3100 + 166);
    EXPECT_EQ(kMouth[1], at(kMouthX, kMouthY));
    // The loop's end still counts as its last period: the third change
    // comes 1 ms late.
    drawAt(3100 + 249);
    EXPECT_EQ(kMouth[1], at(kMouthX, kMouthY));
    drawAt(3100 + 250);
    EXPECT_EQ(kMouth[0], at(kMouthX, kMouthY));

    // The line has ended: the mouth is gone, the body shows through.
    controller->stopLipFlapAnimation();
    drawAt(3500);
    EXPECT_TRUE(isIdle(at(kMouthX, kMouthY))) << testing::PrintToString(at(kMouthX, kMouthY));
}
