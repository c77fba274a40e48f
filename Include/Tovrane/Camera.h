#ifndef TOVRANE_CAMERA_H
#define TOVRANE_CAMERA_H

#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Object.h"

namespace Tovrane
{
// Viewport (fractions of the screen) and projection volume. The scene is drawn
// in world coordinates directly: the camera has no position or orientation.
// Changes reach a renderer only through its setCamera.
class Camera : public Object
{
    TOVRANE_DECLARE_RTTI(Camera)

public:
    // Whole screen as viewport, an all-zero orthographic volume.
    Camera();
    ~Camera() override = default;

    void setViewport(tFixed left, tFixed right, tFixed top, tFixed bottom);
    void getViewport(tFixed& left, tFixed& right, tFixed& top, tFixed& bottom) const;

    // Note the order: the third value is the volume's top, the fourth its bottom.
    void setFrustum(tFixed left, tFixed right, tFixed top, tFixed bottom, tFixed near, tFixed far);
    void getFrustum(tFixed& left, tFixed& right, tFixed& top, tFixed& bottom, tFixed& near, tFixed& far) const;

    void setPerspective(bool value) { perspective = value; }
    bool isPerspective() const { return perspective; }

private:
    tFixed viewportLeft;
    tFixed viewportRight;
    tFixed viewportTop;
    tFixed viewportBottom;
    bool perspective;
    tFixed frustumLeft;
    tFixed frustumRight;
    tFixed frustumTop;
    tFixed frustumBottom;
    tFixed frustumNear;
    tFixed frustumFar;
};

typedef boost::shared_ptr<Camera> CameraPtr;
}

#endif
