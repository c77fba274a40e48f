// The pickers and the question box drawn through the OpenGL ES 1 renderer
// and compared with reviewed pictures in tests/data/dialogs/.
#include "GLES1Renderer/RendererFixture.h"
#include "DialogsTestSupport.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/ImageSlotDialog.h"
#include "Resources/Dialogs/LessonSlotDialog.h"
#include "Resources/Dialogs/StampSlotDialog.h"

#include <functional>

using namespace DialogsTest;

namespace
{
class DialogsGoldenTest : public RendererFixture
{
protected:
    void SetUp() override
    {
        RendererFixture::SetUp();
        if (!newPlayer())
            GTEST_SKIP() << "no generated title, or the system data was configured before";
    }
};

TexturePtr stripes(const ColorRGBA<unsigned char>& a, const ColorRGBA<unsigned char>& b)
{
    TexturePtr picture(new Texture(320, 240, PixelFormat::RGBA8888));
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            picture->setPixel((x / 40 + y / 40) % 2 ? a : b, x, y);
    return picture;
}
}

TEST_F(DialogsGoldenTest, PickersAndTheQuestionBox)
{
    const struct
    {
        const char* name;
        std::function<SpatialPtr()> make;
    } scenes[] = {
        {"image_picker", [] { // two thumbnails
             ScrivletPlayer* profile = ScrivletPlayer::getCurrentPlayerData();
             profile->saveImage(stripes(ColorRGBA<unsigned char>(220, 60, 40, 255), ColorRGBA<unsigned char>(250, 220, 80, 255)), 0);
             profile->saveImage(stripes(ColorRGBA<unsigned char>(40, 90, 200, 255), ColorRGBA<unsigned char>(255, 255, 255, 255)), 3);
             return SpatialPtr(new ImageSlotDialog);
         }},
        {"stamp_picker_page_2", [] {
             StampSlotDialogPtr stamps(new StampSlotDialog);
             stamps->pageRight();
             return stamps;
         }},
        {"dialog_box_yes", [] {
             DialogBoxPtr box(new DialogBox(true));
             box->showYesButtonHighlight();
             return box;
         }},
        {"lesson_picker", [] { return SpatialPtr(new LessonSlotDialog); }},
    };
    for (const auto& scene : scenes)
    {
        root->removeAllChildren();
        root->addChild(scene.make());
        frame(1, 1, 1);
        expectFrameGolden(std::string(TOVRANE_TEST_DATA) + "/dialogs/" + scene.name + ".png");
    }
}
