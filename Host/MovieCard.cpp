#include "MovieCard.h"

#include "PixelFont.h"

namespace TovraneHost
{
TovraneTools::Picture MovieCard::draw(const std::string& moviePath)
{
    using namespace TovraneTools;
    const Colour background{24, 32, 64, 255};
    const Colour panel{48, 64, 120, 255};
    const Colour text{255, 255, 255, 255};
    const Colour accent{255, 200, 64, 255};

    size_t slash = moviePath.find_last_of('/');
    std::string name = slash == std::string::npos ? moviePath : moviePath.substr(slash + 1);

    Picture card(320, 240, background);
    card.fillRoundRect(16, 40, 288, 160, 12, panel);
    // A film strip along the top and bottom of the panel.
    for (int x = 24; x < 296; x += 16)
    {
        card.fillRect(x, 48, 8, 6, background);
        card.fillRect(x, 186, 8, 6, background);
    }
    // A play mark: a triangle pointing right.
    Picture play(28, 28);
    play.fillTriangle(0, 0, 28, 28, accent);
    card.stamp(play.rotatedClockwise(), 146, 70);
    PixelFont::drawCentred(card, 24, 108, 272, 16, "MOVIE", 3, accent);
    PixelFont::drawCentred(card, 24, 134, 272, 30, name, 2, text);
    return card;
}
}
