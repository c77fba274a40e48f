// A button made of sprites cut from a sheet the test generates, drawn through
// the OpenGL ES 1 renderer into the headless pbuffer: the one drawn check of
// the scene graph's sprites and of the widgets.
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
const Rgba kCyan(0, 255, 255, 255), kOrange(255, 136, 0, 255), kBlack(0, 0, 0, 255);

void fill(Texture& t, int left, int top, int w, int h, const Rgba& colour)
{
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x)
            t.setPixel(colour, x, y);
}

class SpriteDraw : public RendererFixture
{
protected:
    void SetUp() override
    {
        RendererFixture::SetUp();
        title = titleFolder();

        // A 512 x 512 sheet with a gap between the sprites so that filtering
        // never reaches a neighbour. Button pictures: up cyan, down orange,
        // 60 x 30 each.
        Texture sheet(512, 512, PixelFormat::RGBA8888, true, 0);
        fill(sheet, 0, 100, 60, 30, kCyan);
        fill(sheet, 100, 100, 60, 30, kOrange);
        std::filesystem::create_directories(title + "images/sheets");
        ASSERT_TRUE(sheet.save(title + "images/sheets/draw.png"));

        writeFile(title + "metadata/draw.tex",
                  encode({{"sheets/draw.png",
                           {sprite("draw/button_up.png", 0, 60, 100, 130, 200, 50),
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
