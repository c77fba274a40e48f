// A turned sprite cut from a sheet the test generates, and a button made of
// sprites, drawn through the OpenGL ES 1 renderer into the headless pbuffer:
// the one drawn check of the scene graph's sprites and of the widgets.
#include "SceneGraph/SpriteTestSupport.h"

#include "GLES1Renderer/RendererFixture.h"

#include "Tovrane/Button.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/SpriteManager.h"
#include "Tovrane/UIPicker.h"

#include <filesystem>
#include <iostream>

using namespace Tovrane;
using namespace SpriteTestSupport;

namespace
{
const Rgba kGreen(0, 255, 0, 255), kBlue(0, 0, 255, 255), kYellow(255, 255, 0, 255);
const Rgba kCyan(0, 255, 255, 255), kOrange(255, 136, 0, 255), kBlack(0, 0, 0, 255);

void fill(Texture& t, int left, int top, int w, int h, const Rgba& colour)
{
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x)
            t.setPixel(colour, x, y);
}

// Pixel (x, y) of the source lands at (h - 1 - y, x): a quarter turn
// clockwise, as sheets store rotated sprites.
void pasteTurned(Texture& sheet, const Texture& sprite, int left, int top)
{
    const int w = sprite.getWidth(), h = sprite.getHeight();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            sheet.setPixel(sprite.getPixel(x, y), left + h - 1 - y, top + x);
}

class SpriteDraw : public RendererFixture
{
protected:
    void SetUp() override
    {
        RendererFixture::SetUp();
        title = titleFolder();

        // A 512 x 512 sheet with gaps between the sprites so that filtering
        // never reaches a neighbour.
        Texture sheet(512, 512, PixelFormat::RGBA8888, true, 0);
        // "turned": 20 wide and 40 high when shown: top-left quarter green,
        // top-right yellow, bottom half blue; stored turned at (100, 0).
        Texture turned(20, 40, PixelFormat::RGBA8888, true, 0);
        fill(turned, 0, 0, 10, 20, kGreen);
        fill(turned, 10, 0, 10, 20, kYellow);
        fill(turned, 0, 20, 20, 20, kBlue);
        pasteTurned(sheet, turned, 100, 0);
        // Button pictures: up cyan, down orange, 60 x 30 each.
        fill(sheet, 0, 100, 60, 30, kCyan);
        fill(sheet, 100, 100, 60, 30, kOrange);
        std::filesystem::create_directories(title + "images/sheets");
        ASSERT_TRUE(sheet.save(title + "images/sheets/draw.png"));

        writeFile(title + "metadata/draw.tex",
                  encode({{"sheets/draw.png",
                           {rotated("draw/turned.png", 100, 140, 0, 20, 100, 100),
                            sprite("draw/button_up.png", 0, 60, 100, 130, 200, 50),
                            sprite("draw/button_down.png", 100, 160, 100, 130, 200, 50)}}}));

        manager.reset(new SpriteManager);
        manager->addSpriteInfo("draw.tex");
    }

    void TearDown() override
    {
        manager.reset();
        RendererFixture::TearDown();
    }

    std::string title;
    std::unique_ptr<SpriteManager> manager;
};
}

TEST_F(SpriteDraw, RotatedSpriteStandsUpright)
{
    root->addChild(manager->getSprite("draw/turned.png", PixelFormat::RGBA8888));
    frame();
    // World x 100..120, y 100..140: green upper left, yellow upper right,
    // blue lower half.
    expectPixels({{103, 136, kGreen}, {107, 123, kGreen}, {113, 136, kYellow}, {117, 123, kYellow}, {103, 103, kBlue},
                  {117, 117, kBlue}, {98, 120, kBlack}, {122, 120, kBlack}, {110, 142, kBlack}, {110, 98, kBlack}});
}

TEST_F(SpriteDraw, ButtonShowsItsDownPictureWhilePressed)
{
    ButtonPtr button(new Button(manager->getSprite("draw/button_up.png", PixelFormat::RGBA4444),
                                manager->getSprite("draw/button_down.png", PixelFormat::RGBA4444)));
    root->addChild(button);
    UIPicker picker;
    root->update(0);
    picker.addUIElements(root);
    frame();
    // World x 200..260, y 50..80.
    expectPixels({{230, 65, kCyan}, {198, 65, kBlack}});
    EXPECT_TRUE(picker.doPick(230, 175, 1)); // screen y 175 is world y 65
    frame();
    expectPixels({{230, 65, kOrange}, {258, 78, kOrange}});
    picker.doPick(230, 175, 0);

    // Hidden, it is neither drawn nor touchable.
    button->cullingMode = CullingMode::Hide;
    EXPECT_FALSE(picker.doPick(230, 175, 1));
    frame();
    EXPECT_EQ(kBlack, at(230, 65));
}
