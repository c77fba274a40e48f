#include "Tovrane/GLES1Renderer.h"

#include "Tovrane/Geometry.h"

#include <GLES/gl.h>

namespace Tovrane
{
void GLES1Renderer::pushWorldTransform()
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // tFixed is GLfixed bit for bit and the matrix is stored column-major, as GL takes it.
    const Matrix<tFixed>& world = currentGeometry->world;
    GLfixed values[16];
    for (unsigned i = 0; i < 16; ++i)
        values[i] = world[i].getRaw();
    glMultMatrixx(values);
}

void GLES1Renderer::popWorldTransform()
{
    glPopMatrix();
    glLoadIdentity();
}
}
