#include "Tovrane/GLES1Renderer.h"

#include <GLES/gl.h>

namespace Tovrane
{
namespace
{
void setColor(GLenum name, const ColorRGBA<tFixed>& colour)
{
    const GLfixed values[4] = {colour.r.getRaw(), colour.g.getRaw(), colour.b.getRaw(), colour.a.getRaw()};
    glMaterialxv(GL_FRONT_AND_BACK, name, values);
}
}

void GLES1Renderer::setMaterialState(MaterialStatePtr material)
{
    setColor(GL_EMISSION, material->emissive);
    setColor(GL_AMBIENT, material->ambient);
    setColor(GL_DIFFUSE, material->diffuse);
    setColor(GL_SPECULAR, material->specular);
    // Only the integer part is handed over, as a raw value; lighting is never on.
    glMaterialx(GL_FRONT_AND_BACK, GL_SHININESS, material->shininess.getRaw() >> 16);
}
}
