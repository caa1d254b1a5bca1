// The mouse-driven view: left drags turn, right drags zoom, free look turns by the
// cursor's offset from the screen centre; SetGLMouseMove applies the result each frame.
#include "mouse_view.h"

#include <GL/gl.h>

#include <algorithm>

#include "lumora/window.h"
#include "platform/win32.h"

namespace Lumora {

using namespace platform;

void MouseViewUpdate(int x, int y) {
    // Differences are integers; the quotients are not.
    if (LeftMouseDown) {
        const double dy = static_cast<double>(y - YCoord) / 2 * MSpeed;
        const double dx = static_cast<double>(x - XCoord) / 2 * MSpeed;
        XRot = static_cast<float>(XRot + dy);
        YRot = static_cast<float>(YRot + dx);
        XRot2 = static_cast<float>(XRot2 + dy);
        YRot2 = static_cast<float>(YRot2 + dx);
        XCoord = x;
        YCoord = y;
    }
    if (RightMouseDown && !MouseFree) {
        const double dz = static_cast<double>(y - ZCoord) / 10 * MSpeed;
        Depth = static_cast<float>(Depth - dz);
        Depth2 = static_cast<float>(Depth2 - dz);
        ZCoord = y;
    }
    if (MouseFree && GetForegroundWindow() == HWindow) {
        GetCursorPos(&MPos);
        const int cx = Width / 2;
        const int cy = Height / 2;
        SetCursorPos(cx, cy);
        const double turnX = static_cast<double>(MPos.x - cx) / 100 * MSpeed;
        const double turnY = static_cast<double>(cy - MPos.y) / 100 * MSpeed;
        // Only free look holds the vertical angle within 60 degrees either way.
        const auto turnClamped = [](float angle, double by) {
            return std::clamp(static_cast<float>(angle - by), -60.0f, 60.0f);
        };
        XRot = static_cast<float>(XRot + turnX);
        YRot = turnClamped(YRot, turnY);
        XRot2 = static_cast<float>(XRot2 + turnX);
        YRot2 = turnClamped(YRot2, turnY);
    }
}

void SetGLMouseMove(int32_t XYZ, int32_t Speed) {
    MSpeed = Speed;
    switch (XYZ) {
    case 0:
        MY = TGLVertex{0, 0, -Depth};
        glTranslatef(0, 0, -Depth);
        glRotatef(XRot, 1, 0, 0);
        glRotatef(YRot, 0, 1, 0);
        break;
    case 1:
        MY = TGLVertex{0, -Depth, 0};
        glTranslatef(0, -Depth, 0);
        glRotatef(XRot, 1, 0, 0);
        glRotatef(YRot, 0, 0, 1);
        break;
    case 2:
        MY = TGLVertex{-Depth, 0, 0};
        glTranslatef(-Depth, 0, 0);
        glRotatef(XRot, 0, 0, -1);
        glRotatef(YRot, 0, 1, 0);
        break;
    case 3:
        MY = TGLVertex{0, 0, -Depth};
        glTranslatef(0, 0, -Depth);
        glRotatef(XRot, 0, 1, 0);
        glRotatef(YRot, 1, 0, 0);
        break;
    default:
        break;
    }
}

} // namespace Lumora
