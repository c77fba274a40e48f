#include "Tovrane/Node.h"

#include "Tovrane/Assert.h"
#include "Tovrane/BoundingVolume.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Node, Spatial);

Node::Node() {}

Node::~Node() { removeAllChildren(); }

int Node::addChild(SpatialPtr child)
{
    TOVRANE_ASSERT(child && "Cannot attach a null value");
    TOVRANE_ASSERT(!child->parent && "Child already attached to a parent node");
    for (const Spatial* ancestor = this; ancestor; ancestor = ancestor->parent)
        TOVRANE_ASSERT(ancestor != child.get() && "Cannot attach a node below itself");

    child->parent = this;
    child->setTransformCurrent(false);

    for (size_t i = 0; i < children.size(); ++i)
    {
        if (!children[i])
        {
            children[i] = child;
            return static_cast<int>(i);
        }
    }
    children.push_back(child);
    return static_cast<int>(children.size()) - 1;
}

void Node::setChild(SpatialPtr child, int index)
{
    TOVRANE_ASSERT(index >= 0 && "Child index must not be negative");
    if (child)
    {
        TOVRANE_ASSERT(!child->parent && "Child already attached to a parent node");
        for (const Spatial* ancestor = this; ancestor; ancestor = ancestor->parent)
            TOVRANE_ASSERT(ancestor != child.get() && "Cannot attach a node below itself");
        child->parent = this;
        child->setTransformCurrent(false);
    }

    const size_t slot = static_cast<size_t>(index);
    if (slot < children.size())
    {
        if (children[slot])
            children[slot]->parent = nullptr;
        children[slot] = child;
    }
    else
    {
        children.resize(slot + 1);
        children[slot] = child;
    }
    // Also when the slot was only emptied: this bound no longer holds the old child.
    markWorldBoundOutOfDate();
}

SpatialPtr Node::getChild(int index) const
{
    if (index < 0 || index >= static_cast<int>(children.size()))
        return SpatialPtr();
    return children[index];
}

void Node::removeChild(SpatialPtr child)
{
    if (!child)
        return;
    for (SpatialPtr& slot : children)
    {
        if (slot == child)
        {
            slot->parent = nullptr;
            slot.reset();
            markWorldBoundOutOfDate();
            return;
        }
    }
}

void Node::removeAllChildren()
{
    for (SpatialPtr& slot : children)
    {
        if (slot)
        {
            slot->parent = nullptr;
            slot.reset();
        }
    }
    children.clear();
    markWorldBoundOutOfDate();
}

void Node::setTransformCurrent(bool value)
{
    Spatial::setTransformCurrent(value);
    for (size_t i = 0; i < children.size(); ++i)
        if (children[i])
            children[i]->setTransformCurrent(value);
}

void Node::updateWorld(unsigned int appTime)
{
    Spatial::updateWorld(appTime);
    // By index, holding each child: a controller may change the child list.
    for (size_t i = 0; i < children.size(); ++i)
    {
        SpatialPtr child = children[i];
        if (child)
            child->update(appTime);
    }
}

void Node::updateWorldBound()
{
    if (worldBoundCurrent)
        return;

    const Vector3<tFixed> scale(local[0], local[5], local[10]);
    // Scaling by exactly 1.0 leaves a rectangle unchanged.
    const bool scaling = scale.x != tFixed(1) || scale.y != tFixed(1);
    bool first = true;
    for (size_t i = 0; i < children.size(); ++i)
    {
        SpatialPtr child = children[i];
        if (!child)
            continue;
        // A child bound that this node scaled before and that has not been
        // recomputed since would otherwise be scaled a second time.
        if (child->worldBoundScaledByParent)
        {
            child->worldBoundCurrent = false;
            child->updateWorldBound();
        }
        child->worldBound->scaleBy(scale);
        child->worldBoundScaledByParent = scaling;
        if (first)
            worldBound->copyData(child->worldBound);
        else
            worldBound->growToContain(child->worldBound);
        first = false;
    }
    worldBoundCurrent = true;
}

void Node::getVisibleSet(GraphicsCuller& culler, bool force)
{
    for (size_t i = 0; i < children.size(); ++i)
        if (children[i])
            children[i]->onGetVisibleSet(culler, force);
}

void Node::getAudibleSet(AudioCuller& culler, bool force)
{
    for (size_t i = 0; i < children.size(); ++i)
        if (children[i])
            children[i]->onGetAudibleSet(culler, force);
}
}
