#include "Tovrane/UIBase.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, UIBase, Node);

UIBase::UIBase() {}

UIBase::UIBase(SpatialPtr released, SpatialPtr pressed)
    : releasedGeo(released), pressedGeo(pressed), clickSound("h_SX_SelectSfx_6.ogg")
{
    if (releasedGeo)
        addChild(releasedGeo);
    if (pressedGeo)
    {
        addChild(pressedGeo);
        pressedGeo->cullingMode = CullingMode::Hide;
    }
}

UIBase::~UIBase() {}

void UIBase::onHighlight() { showHighlight(); }

void UIBase::onUnHighlight() { hideHighlight(); }

void UIBase::onSelect() {}

void UIBase::setPressedGeo(SpatialPtr geo)
{
    if (geo == pressedGeo)
        return;
    if (pressedGeo)
        removeChild(pressedGeo);
    pressedGeo = geo;
    if (pressedGeo)
    {
        addChild(pressedGeo);
        pressedGeo->cullingMode = CullingMode::Hide;
    }
}

void UIBase::setReleasedGeo(SpatialPtr geo)
{
    if (geo == releasedGeo)
        return;
    if (releasedGeo)
        removeChild(releasedGeo);
    releasedGeo = geo;
    if (releasedGeo)
        addChild(releasedGeo);
}

void UIBase::showDownImage()
{
    if (!pressedGeo || !releasedGeo)
        return;
    pressedGeo->cullingMode = CullingMode::Show;
    releasedGeo->cullingMode = CullingMode::Hide;
}

void UIBase::showUpImage()
{
    if (!pressedGeo || !releasedGeo)
        return;
    pressedGeo->cullingMode = CullingMode::Hide;
    releasedGeo->cullingMode = CullingMode::Show;
}

void UIBase::showHighlight()
{
    if (highlight)
        highlight->cullingMode = CullingMode::Show;
}

void UIBase::hideHighlight()
{
    if (highlight)
        highlight->cullingMode = CullingMode::Hide;
}

bool UIBase::isActive() const
{
    for (const Spatial* element = this; element; element = element->parent)
        if (element->cullingMode == CullingMode::Hide)
            return false;
    return true;
}
}
