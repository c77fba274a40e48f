#include "Tovrane/Camera.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Camera, Object);

Camera::Camera()
    : viewportLeft(0),
      viewportRight(1),
      viewportTop(1),
      viewportBottom(0),
      perspective(false),
      frustumLeft(0),
      frustumRight(0),
      frustumTop(0),
      frustumBottom(0),
      frustumNear(0),
      frustumFar(0)
{
}

void Camera::setViewport(tFixed left, tFixed right, tFixed top, tFixed bottom)
{
    viewportLeft = left;
    viewportRight = right;
    viewportTop = top;
    viewportBottom = bottom;
}

void Camera::getViewport(tFixed& left, tFixed& right, tFixed& top, tFixed& bottom) const
{
    left = viewportLeft;
    right = viewportRight;
    top = viewportTop;
    bottom = viewportBottom;
}

void Camera::setFrustum(tFixed left, tFixed right, tFixed top, tFixed bottom, tFixed near, tFixed far)
{
    frustumLeft = left;
    frustumRight = right;
    frustumTop = top;
    frustumBottom = bottom;
    frustumNear = near;
    frustumFar = far;
}

void Camera::getFrustum(tFixed& left, tFixed& right, tFixed& top, tFixed& bottom, tFixed& near,
                        tFixed& far) const
{
    left = frustumLeft;
    right = frustumRight;
    top = frustumTop;
    bottom = frustumBottom;
    near = frustumNear;
    far = frustumFar;
}
}
