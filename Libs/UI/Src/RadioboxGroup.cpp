#include "Tovrane/Radiobox.h"

#include <algorithm>

namespace Tovrane
{
Radiobox::RadioboxGroup::RadioboxGroup() : activeBox(nullptr) {}

Radiobox::RadioboxGroup::~RadioboxGroup() { boxes.clear(); }

void Radiobox::RadioboxGroup::addRadiobox(Radiobox* box) { boxes.push_back(box); }

void Radiobox::RadioboxGroup::removeRadiobox(Radiobox* box)
{
    std::vector<Radiobox*>::iterator found = std::find(boxes.begin(), boxes.end(), box);
    if (found != boxes.end())
        boxes.erase(found);
    if (activeBox == box)
        activeBox = nullptr;
}

void Radiobox::RadioboxGroup::setActiveBox(Radiobox* box)
{
    if (activeBox)
        activeBox->switchOff();
    activeBox = box;
}
}
