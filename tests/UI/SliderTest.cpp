// The slider: knob placement, reported fractions and dragging through the
// picker.
#include "UI/UITestSupport.h"

#include "Tovrane/Node.h"
#include "Tovrane/Slider.h"
#include "Tovrane/UIPicker.h"

#include <gtest/gtest.h>

#include <cmath>
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
    EXPECT_TRUE(ratios.values.empty());

    slider->onPress(20, 0);
    EXPECT_EQ(tFixed(40), knobX());
    slider->onPress(300, 0);
    EXPECT_EQ(tFixed(185), knobX());
    slider->onPress(112, 0);
    EXPECT_EQ(tFixed(112), knobX());
    EXPECT_EQ((std::vector<float>{0.0f, 1.0f, 72.0f / 145.0f}), ratios.values);
    // The other coordinates are never changed.
    EXPECT_EQ(tFixed(100), knobY());
    EXPECT_EQ(tFixed(3), slider->getPosition().z);
    EXPECT_FALSE(slider->transformCurrent);

    ratios.values.clear();
    slider->setRatio(1.5f);
    EXPECT_EQ(tFixed(185), knobX());
    slider->setRatio(0.5f);
    EXPECT_EQ(tFixed(112.5f), knobX());
    slider->setRatio(-2.0f);
    EXPECT_EQ(tFixed(40), knobX());
    slider->setRatio(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(tFixed(40), knobX());
    EXPECT_TRUE(ratios.values.empty());
}

TEST_F(SliderTest, DefaultsAndCentring)
{
    EXPECT_EQ(0, slider->getMin());
    EXPECT_EQ(100, slider->getMax());
    EXPECT_EQ("h_SX_SelectSfx_6.ogg", slider->getClickSound());
    slider->setPosition(Vector3<tFixed>(tFixed(7), tFixed(8), tFixed(0)));
    slider->setType(Slider::Vertical);
    EXPECT_EQ(tFixed(7), knobX());
    EXPECT_EQ(tFixed(8), knobY());
    // Halving rounds toward zero, also for negative ranges.
    slider->setMinMax(-7, 0);
    EXPECT_EQ(tFixed(-4), knobY());
    slider->setMinMax(0, 7);
    EXPECT_EQ(tFixed(3), knobY());
    EXPECT_EQ(tFixed(7), knobX());
}

TEST_F(SliderTest, VerticalFollowsYAndIgnoresX)
{
    slider->setType(Slider::Vertical);
    slider->setMinMax(20, 220);
    slider->onPress(300, 70);
    EXPECT_EQ(tFixed(70), knobY());
    EXPECT_EQ(tFixed(0), knobX());
    EXPECT_EQ((std::vector<float>{0.25f}), ratios.values);
}

TEST_F(SliderTest, EqualLimitsReportZero)
{
    slider->setMinMax(50, 50);
    EXPECT_EQ(tFixed(50), knobX());
    slider->onPress(10, 0);
    slider->onPress(50, 0);
    slider->onPress(90, 0);
    EXPECT_EQ((std::vector<float>{0.0f, 0.0f, 0.0f}), ratios.values);
    slider->setRatio(0.7f);
    EXPECT_EQ(tFixed(50), knobX());
}

TEST_F(SliderTest, PicturesFollowPressAndRelease)
{
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
