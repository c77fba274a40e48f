// The slider: knob placement, reported fractions and dragging through the
// picker.
#include "UI/UITestSupport.h"

#include "Tovrane/Node.h"
#include "Tovrane/Slider.h"
#include "Tovrane/UIPicker.h"

#include <limits>

using namespace Tovrane;
using namespace UITestSupport;

namespace
{
struct Ratios
{
    void changed(float ratio) { values.push_back(ratio); }
    std::vector<float> values;
};

class SliderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The knob: a 10 x 20 picture around the widget's origin.
        slider.reset(new Slider(picture(-5, 5, -10, 10), picture(-5, 5, -10, 10)));
        slider->changedEvent += new Event<void, float>::MethodDelegate<Ratios>(&ratios, &Ratios::changed);
    }

    tFixed knobX() const { return slider->getPosition().x; }
    tFixed knobY() const { return slider->getPosition().y; }

    SliderPtr slider;
    Ratios ratios;
};
}

TEST_F(SliderTest, VolumeSliderNumbers)
{
    slider->setPosition(Vector3<tFixed>(tFixed(0), tFixed(100), tFixed(3)));
    slider->setMinMax(40, 185);
    EXPECT_EQ(tFixed(112), knobX());
    // Presses report, ratios set silently; both stay within the limits and
    // never change the other coordinates.
    const struct
    {
        bool press;
        float at;
        tFixed knob;
    } steps[] = {{true, 20, tFixed(40)},     {true, 300, tFixed(185)},   {true, 112, tFixed(112)},
                 {false, 1.5f, tFixed(185)}, {false, 0.5f, tFixed(112.5f)}, {false, -2, tFixed(40)},
                 {false, std::numeric_limits<float>::quiet_NaN(), tFixed(40)}};
    for (const auto& step : steps)
    {
        if (step.press)
            slider->onPress(static_cast<int>(step.at), 0);
        else
            slider->setRatio(step.at);
        EXPECT_EQ(step.knob, knobX()) << step.at;
        EXPECT_EQ(Vector3<tFixed>(step.knob, tFixed(100), tFixed(3)), slider->getPosition());
    }
    EXPECT_EQ((std::vector<float>{0.0f, 1.0f, 72.0f / 145.0f}), ratios.values);
    EXPECT_FALSE(slider->transformCurrent);
}

TEST_F(SliderTest, CentringVerticalSlidersAndEqualLimits)
{
    slider->setPosition(Vector3<tFixed>(tFixed(7), tFixed(8), tFixed(0)));
    slider->setType(Slider::Vertical);
    EXPECT_EQ(tFixed(8), knobY());
    // Halving rounds toward zero, also for negative ranges; x is left alone.
    slider->setMinMax(-7, 0);
    EXPECT_EQ(tFixed(-4), knobY());
    slider->setMinMax(0, 7);
    EXPECT_EQ(tFixed(3), knobY());
    EXPECT_EQ(tFixed(7), knobX());
    slider->setMinMax(20, 220);
    slider->onPress(300, 70);
    EXPECT_EQ(tFixed(70), knobY());
    EXPECT_EQ(tFixed(7), knobX());
    EXPECT_EQ((std::vector<float>{0.25f}), ratios.values);

    // Equal limits report zero wherever the finger is.
    slider->setMinMax(50, 50);
    EXPECT_EQ(tFixed(50), knobY());
    for (int y : {10, 50, 90})
        slider->onPress(0, y);
    EXPECT_EQ((std::vector<float>{0.25f, 0, 0, 0}), ratios.values);
    slider->setRatio(0.7f);
    EXPECT_EQ(tFixed(50), knobY());
}

TEST_F(SliderTest, PicturesFollowPressAndRelease)
{
    EXPECT_EQ("h_SX_SelectSfx_6.ogg", slider->getClickSound());
    slider->onPress(10, 0);
    EXPECT_EQ(CullingMode::Show, slider->getPressedGeo()->cullingMode);
    slider->onRolloff(20, 0);
    EXPECT_EQ(CullingMode::Show, slider->getPressedGeo()->cullingMode);
    EXPECT_EQ(tFixed(20), knobX());
    slider->onRelease(30, 0);
    EXPECT_EQ(CullingMode::Hide, slider->getPressedGeo()->cullingMode);
    // A release does not move the knob or report.
    EXPECT_EQ(tFixed(20), knobX());
    EXPECT_EQ(2u, ratios.values.size());
}

// The options menu's slider inside a node: dragging reports at every touch
// event, on or off the knob, always within the limits.
TEST_F(SliderTest, DraggingThroughThePicker)
{
    NodePtr root(new Node);
    root->addChild(slider);
    slider->setPosition(Vector3<tFixed>(tFixed(0), tFixed(120), tFixed(0)));
    slider->setMinMax(40, 185);
    root->update(0);
    UIPicker picker;
    picker.addUIElements(root);

    // Touch the knob at x 112 (it spans 107..117), screen y 120.
    EXPECT_TRUE(picker.doPick(110, 120, 1));
    root->update(0);
    // Drag right, off the knob and past the upper limit.
    EXPECT_FALSE(picker.doPick(150, 60, 1));
    root->update(0);
    picker.doPick(250, 60, 1);
    root->update(0);
    EXPECT_EQ(tFixed(185), knobX());
    picker.doPick(40, 60, 1);
    root->update(0);
    EXPECT_EQ(tFixed(40), knobX());
    // The knob has followed the finger: a lift over it is a release.
    EXPECT_TRUE(picker.doPick(40, 120, 0));
    EXPECT_EQ(CullingMode::Hide, slider->getPressedGeo()->cullingMode);
    EXPECT_EQ((std::vector<float>{70.0f / 145.0f, 110.0f / 145.0f, 1.0f, 0.0f}), ratios.values);
    for (float r : ratios.values)
        EXPECT_TRUE(r >= 0 && r <= 1);
}
