#ifndef RESOURCES_PATTERNPICKER_H
#define RESOURCES_PATTERNPICKER_H

#include "Resources/Dialogs/StudioUIElement.h"
#include "Tovrane/ButtonEventArgs.h"
#include "Tovrane/Event.h"
#include "Tovrane/Node.h"

#include <cstdint>

namespace Tovrane
{
class PatternPicker;
typedef boost::shared_ptr<PatternPicker> PatternPickerPtr;

// The pattern chosen, 0 to 14.
struct PatternEventArgs
{
    explicit PatternEventArgs(std::int32_t pattern = 0) : pattern(pattern) {}
    std::int32_t pattern;
};

// The colour screen's carousel of fifteen pattern swatches, stepped with a
// left and a right arrow that wrap around. Exactly one swatch is shown; every
// step shows the new one and then tells patternEvent its number. Children:
// the left arrow, the right arrow and the node of swatches (swatch i is its
// child i). Sprites stand where their sheets place them: all swatches share
// one spot.
class PatternPicker : public Node, public StudioUIElement
{
    TOVRANE_DECLARE_RTTI(PatternPicker)

public:
    static const int PatternCount = 15;

    PatternPicker();
    ~PatternPicker() override;

    void initialize();
    void onPrevButton(const ButtonEventArgs& args);
    void onNextButton(const ButtonEventArgs& args);
    // Shows swatch i (0 to 14) alone and reports it.
    void onPatternChange(int i);

    int getPattern() const { return pattern; }
    NodePtr getPatternNode() const { return patternNode; }

    Event<void, const PatternEventArgs&> patternEvent;

private:
    void showSwatch(int i, CullingMode::Type mode);

    int pattern;
    NodePtr patternNode;
};
}

#endif
