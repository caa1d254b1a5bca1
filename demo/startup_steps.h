// The demo's start-up once its window and GL context exist, shared by the program and the
// offscreen renderer so that both draw the very same scene.
#pragma once

namespace CloudsDemo {

// Projection and clear colour, face state, the start-up light, then texture and layers.
void SceneStartup();

} // namespace CloudsDemo
