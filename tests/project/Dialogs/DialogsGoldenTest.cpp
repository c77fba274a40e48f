// The pickers and the question box drawn through the OpenGL ES 1 renderer
// and compared with reviewed pictures in tests/data/dialogs/.
#include "GLES1Renderer/RendererFixture.h"
#include "DialogsTestSupport.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/ImageSlotDialog.h"
#include "Resources/Dialogs/LessonSlotDialog.h"
#include "Resources/Dialogs/StampSlotDialog.h"

using namespace DialogsTest;
using DialogsGoldenTest = RendererFixture;

TEST_F(DialogsGoldenTest, PickersAndTheQuestionBox)
{
    if (!newPlayer())
        GTEST_SKIP() << "no generated title, or the system data was configured before";
    // Two saved pictures of 40-pixel squares in two colours, in slots 0 and 3.
    const ColorRGBA<unsigned char> colours[2][2] = {{{220, 60, 40, 255}, {250, 220, 80, 255}},
                                                    {{40, 90, 200, 255}, {255, 255, 255, 255}}};
    for (int saved = 0; saved < 2; ++saved)
    {
        TexturePtr picture(new Texture(320, 240, PixelFormat::RGBA8888));
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                picture->setPixel(colours[saved][(x / 40 + y / 40) % 2 ? 0 : 1], x, y);
        ScrivletPlayer::getCurrentPlayerData()->saveImage(picture, saved * 3);
    }
    StampSlotDialogPtr stamps(new StampSlotDialog);
    stamps->pageRight();
    DialogBoxPtr box(new DialogBox(true));
    box->showYesButtonHighlight();
    const std::pair<const char*, SpatialPtr> scenes[] = {{"image_picker", SpatialPtr(new ImageSlotDialog)},
                                                         {"stamp_picker_page_2", stamps},
                                                         {"dialog_box_yes", box},
                                                         {"lesson_picker", SpatialPtr(new LessonSlotDialog)}};
    for (const auto& scene : scenes)
    {
        root->removeAllChildren();
        root->addChild(scene.second);
        frame(1, 1, 1);
        expectFrameGolden(std::string(TOVRANE_TEST_DATA) + "/dialogs/" + scene.first + ".png");
    }
}
