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
    // Per mode: the axis the scene moves back along, and the axes of the two turns.
    struct Mode {
        TGLVector away, xAxis, yAxis;
    };
    static constexpr Mode Modes[] = {
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}},
    };
    if (XYZ < 0 || XYZ > 3) return;
    const Mode& m = Modes[XYZ];
    MY = TGLVertex{-Depth * m.away.X, -Depth * m.away.Y, -Depth * m.away.Z};
    glTranslatef(MY.X, MY.Y, MY.Z);
    glRotatef(XRot, m.xAxis.X, m.xAxis.Y, m.xAxis.Z);
    glRotatef(YRot, m.yAxis.X, m.yAxis.Y, m.yAxis.Z);
}

} // namespace Lumora
