// The demo's start-up steps after CreateOGLWindow, in the program's order.
#include "startup_steps.h"

#include <GL/gl.h>

#include "demo.h"
#include "lumora/render.h"

namespace CloudsDemo {

using namespace Lumora;

void SceneStartup() {
    OpenGL_Init(SceneDepth, SkyA, SkyR, SkyG, SkyB);
    SetGLRefractive();
    SetGLLight(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
    OpenGL_CreateList();
}

} // namespace CloudsDemo
