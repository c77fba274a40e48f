// The menu's spoken tours on the fixed clock: announcements 2 s apart, the
// blinking highlight of each, and no input until the tour has ended.
#include "MenuTestSupport.h"

using namespace MenuTest;
using GameTitle::Lines;

namespace
{
class MenuTourThreadTest : public Menu
{
};

TEST_F(MenuTourThreadTest, EachButtonIsNamedWhileItsHighlightBlinks)
{
    const struct
    {
        Point opens; // the page the tour is about, none for the main page
        Lines said;
        std::vector<GeometryPtr MainMenuState::*> marks;
    } tours[] = {{{0, 0},
                  {"PlayAnnncdAsTtl", "LessonsAnnncdAsTtl", "BadgesAnnncdAsTtl", "MicromodsAnnncdAsTt",
                   "OptionsAnnncdAsTtl", "ExitAnnncdAsTtl", "TapYrChcWthThStyls"},
                  {&MainMenuState::playHighlight, &MainMenuState::lessonsHighlight, &MainMenuState::badgesHighlight,
                   &MainMenuState::micromodsHighlight, &MainMenuState::optionsHighlight, &MainMenuState::exitHighlight}},
                 {Options,
                  {"StartNwGmAnnncdAsTtl", "MusicVlmAnnncdAsTtl", "CreditsAnnncdAsTtl", "TapYrChcWthThStyls"},
                  {&MainMenuState::newGameHighlight, &MainMenuState::volumeHighlight, &MainMenuState::creditsHighlight}}};
    for (const auto& tour : tours)
    {
        if (tour.opens.x)
            tap(tour.opens);
        quiet();
        const NodePtr page = shownPage();
        events();
        press(0x200);
        std::vector<unsigned int> starts;
        Lines said;
        int frames = 0;
        while (menu->tourKind != 0 && frames++ < 1000)
        {
            const unsigned int now = harness->app->getApplicationTime();
            for (const std::string& line : events(&starts))
                said.push_back(line.substr(line.find('_', 14) + 1, line.size() - line.find('_', 14) - 7));
            // The reference: off for 125 ms, then on and off in turns of
            // 125 ms, never during the last announcement.
            const size_t k = said.size();
            const bool lit = k <= tour.marks.size() && ((now - starts.back()) / 125) % 2 == 1;
            for (size_t m = 0; m < tour.marks.size(); ++m)
                ASSERT_EQ(lit && m + 1 == k, MainMenuState::isShown(menu->*tour.marks[m]))
                    << "mark " << m << " at " << now - starts.back() << " ms into announcement " << k;
            if (frames == 300) // every input is dropped meanwhile
            {
                tap(Lessons);
                press(0x100 | 0x20 | 0x200);
            }
            else
                frame();
        }
        EXPECT_EQ(tour.said, said);
        for (size_t k = 1; k < starts.size(); ++k)
            EXPECT_TRUE(starts[k] - starts[k - 1] > 2000 && starts[k] - starts[k - 1] <= 2020) << k;
        EXPECT_EQ(page, shownPage());
        EXPECT_GE(harness->app->getApplicationTime() - starts.back(), 2000u) << "the last one is given its time";
        press(0x20);
    }
    tap(Lessons);
    EXPECT_EQ(menu->lessonsPage, shownPage()) << "touches work again";
}
}
