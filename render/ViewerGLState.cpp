#include "render/ViewerGLState.h"

#include <GL/gl.h>

#include "render/CapabilityRules.h"

namespace {

bool depthClamped = false;

const char* GLString(GLenum name)
{
    return reinterpret_cast<const char*>(glGetString(name));
}

}  // namespace

void SetViewerGLState()
{
    const GLfloat ambient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[4] = {90.0f, -90.0f, 150.0f, 0.0f};
    const GLfloat modelAmbient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, modelAmbient);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);
    glFrontFace(GL_CCW);
    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glDepthFunc(GL_LESS);
    // Whatever lies beyond the depth planes is drawn at the plane instead of
    // being cut, so that one far element need not stretch the depth range.
    depthClamped = OffersDepthClamp(GLString(GL_VERSION), GLString(GL_EXTENSIONS));
    if (depthClamped) glEnable(GL_DEPTH_CLAMP);
}

bool ViewerClampsDepth()
{
    return depthClamped;
}
