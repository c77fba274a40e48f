#ifndef RESOURCES_GAMETESTSTATE_H
#define RESOURCES_GAMETESTSTATE_H

#include "Tovrane/GameState.h"
#include "Tovrane/Texture.h"
#include "Tovrane/UIPicker.h"

#include <string>

namespace Tovrane
{
// A state for trying pieces of the framework by hand; nothing in the game
// pushes it. Button B shows the achievement window with the next
// location-repair text, button A plays the movie "test.swf", and
// createThumbnail shrinks a picture to a 128 x 128 "thumbnail.png".
// Shows the loading picture and is kept on the stack.
class GameTestState : public GameState
{
public:
    // The window texts, shown in turn.
    static constexpr int TextCount = 21;
    static const char* const Texts[TextCount];
    // Each thumbnail pixel is the average of a Block x Block square.
    static constexpr int Block = 5;
    static constexpr int ThumbnailSize = 128;

    GameTestState();
    ~GameTestState() override;

    void load() override;
    void update(unsigned int appTime) override;
    void exit() override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override;

    // Writes "thumbnail.png" in the current folder: thumbnail pixel (i, j)
    // averages the red, green and blue of the source's 5 x 5 block at
    // (5i, 5j) and takes the alpha of the block's last pixel. Blocks beyond
    // the thumbnail are skipped, pixels no block covers are 0. An RGB888 or
    // RGBA8888 source keeps its format; any other gives an RGBA8888
    // thumbnail, the formats a PNG file is written from.
    void createThumbnail(TexturePtr source);

protected:
    UIPicker picker;
};
}

#endif
