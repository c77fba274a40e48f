#ifndef RESOURCES_SLOTDIALOG_H
#define RESOURCES_SLOTDIALOG_H

#include "Resources/Dialogs/SlotDialogEventArgs.h"
#include "Tovrane/ButtonEventArgs.h"
#include "Tovrane/Event.h"
#include "Tovrane/Node.h"

#include <vector>

namespace Tovrane
{
class Geometry;
class SlotDialog;
class Texture;
typedef boost::shared_ptr<Geometry> GeometryPtr;
typedef boost::shared_ptr<SlotDialog> SlotDialogPtr;
typedef boost::shared_ptr<Texture> TexturePtr;

// Paged thumbnail picker: a list of (picture, id) items shown a page at a
// time on the faces of a grid of slot buttons. A skin builds the buttons and
// faces and sets the grid; a content picker fills the list. A click reports
// the slot and the id it shows through selectEvent. The dialog never hides
// itself or moves a highlight: that is its owner's business.
class SlotDialog : public Node
{
    TOVRANE_DECLARE_RTTI(SlotDialog)

public:
    typedef Event<void, const SlotDialogEventArgs&> SelectEvent;
    typedef void (SlotDialog::*SlotHandler)(const ButtonEventArgs&);

    SlotDialog();
    ~SlotDialog() override;

    // Appends an item; the faces change at the next populateSlots.
    void addSlotData(TexturePtr texture, int id);
    // Shows the page that starts at `first` on the faces.
    void populateSlots();
    // Replaces the picture of item `index`; its id stays. The faces change at
    // the next populateSlots.
    void updateThumbnail(TexturePtr texture, int index);

    // One page back or forward; forward stops at the last full page.
    void pageLeft();
    void pageRight();
    void onLeftArrowButton(const ButtonEventArgs& args);
    void onRightArrowButton(const ButtonEventArgs& args);

    // Fires selectEvent for a slot of the page (-1: the close button).
    void onSelect(int slot);
    template <int N> void onSlotClick(const ButtonEventArgs&) { onSelect(N); }

    int getItemCount() const { return static_cast<int>(ids.size()); }

    SelectEvent selectEvent;
    // Face k shows the item of slot k; filled by the skin.
    std::vector<GeometryPtr> slotFaces;
    // List index of the item in slot 0.
    int first;
    // The grid and how far an arrow moves `first`; set by the skin.
    int rows;
    int columns;
    int pageStep;
    // The items, in list order; always of the same length.
    std::vector<TexturePtr> thumbnails;
    std::vector<int> ids;

protected:
    // The skins bind slot button k to entry k.
    static const SlotHandler slotClicks[6];
};
}

#endif
