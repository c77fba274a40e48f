#include "Resources/MiniGames/GameTestState.h"

#include "Tovrane/Application.h"
#include "Tovrane/FlashState.h"
#include "Tovrane/Geometry.h"

#include <algorithm>
#include <iostream>

namespace Tovrane
{
const char* const GameTestState::Texts[GameTestState::TextCount] = {
    "FIX THE FIREHOUSE",
    "FIX THE LIBRARY",
    "FIX THE COLORFUL FOUNTAIN",
    "FIX TOWN HALL",
    "FIX THE CLOCK TOWER",
    "FIX PLAYTIME PARK",
    "FIX RISKY RACETRACK",
    "FIX THE LAUGHING ORCHARD",
    "FIX RIVADEZ'S FERRIS WHEEL",
    "FIX VESK'S HAPPY LITTLE FOREST",
    "FIX THE SCULPTURE GARDEN",
    "FIX THE GROOVY T-SHIRT SHOP",
    "FIX THE TRAIN DEPOT",
    "FIX THE MILL",
    "FIX DIDIR'S GYM",
    "FIX THE RISE'N'SHINE CAFE",
    "FIX THE LANDLOCKED SHIP",
    "FIX THE SPINNING WHEEL DINER",
    "FIX THE PURPLE POND",
    "FIX THE ROCKY HIKE PATH",
    "FIX THE SPOOKY MANSION",
};

GameTestState::GameTestState() : GameState(true, true) {}

GameTestState::~GameTestState() { picker.elements.clear(); }

void GameTestState::load()
{
    sceneRoot->addChild(sceneManager.getSprite("shared/dialog_box_base.png", PixelFormat::RGBA4444));
    GameState::load();
}

void GameTestState::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (isAchievementWindowVisible())
        std::cout << "VISIBLE\n";
}

void GameTestState::exit() { GameState::exit(); }

void GameTestState::processTouchEvent(const Vantorel::Kelm::tTouchData&) {}

void GameTestState::processButtonEvent(const Vantorel::Kelm::tButtonData2& button)
{
    // The last text shown, for every instance of the program's run.
    static int badge = -1;
    const std::uint32_t held = button.buttonState;
    if (held & Vantorel::Kelm::kButtonB)
    {
        if (++badge >= TextCount)
            badge = 0;
        showAchievementWindow(Texts[badge], false);
    }
    else if (held & Vantorel::Kelm::kButtonA)
        Application::PushGameState(new FlashState("test.swf"));
}

void GameTestState::createThumbnail(TexturePtr source)
{
    if (!source)
    {
        std::cout << "No picture to make a thumbnail of" << std::endl;
        return;
    }
    // Every format reads through getPixel; the thumbnail is written in one
    // that setPixel packs and a PNG file holds.
    PixelFormat::Type format = source->getFormat();
    if (format != PixelFormat::RGB888 && format != PixelFormat::RGBA8888)
        format = PixelFormat::RGBA8888;
    TexturePtr thumbnail(new Texture(ThumbnailSize, ThumbnailSize, format, true, 0));

    const int columns = std::min(source->getWidth() / Block, ThumbnailSize);
    const int rows = std::min(source->getHeight() / Block, ThumbnailSize);
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < rows; ++j)
        {
            int red = 0, green = 0, blue = 0;
            ColorRGBA<unsigned char> pixel;
            for (int dx = 0; dx < Block; ++dx)
                for (int dy = 0; dy < Block; ++dy)
                {
                    pixel = source->getPixel(Block * i + dx, Block * j + dy);
                    red += pixel.r;
                    green += pixel.g;
                    blue += pixel.b;
                }
            const int count = Block * Block;
            thumbnail->setPixel(ColorRGBA<unsigned char>(static_cast<unsigned char>(red / count),
                                                         static_cast<unsigned char>(green / count),
                                                         static_cast<unsigned char>(blue / count), pixel.a),
                                i, j);
        }
    thumbnail->save("thumbnail.png");
}
}
