// The window module's state: handles, settings, input and view values that programs and
// the other modules read directly.
#include "lumora/window.h"

namespace Lumora {

HWND HWindow = 0;
HDC DCWindow = 0;
HGLRC RCWindow = 0;
int32_t Width = 0;
int32_t Height = 0;
int32_t Bits = 0;
bool FullScreen = false;
int32_t Pixel_Format_Flags = 0;
int32_t SetTypeCursor = 0;
int32_t SetTypeIcon = 0;
const char* CursorFile = nullptr;
const char* IconFile = nullptr;
bool ShowMenuBar = false;
void (*CreateMenuBar)() = nullptr;
bool ShowStatusBar = false;
HWND HStatus = 0;
HWND AWnd = 0;
char FileName[261] = {};
int32_t StatusItem[21] = {};
int32_t Edges[21] = {};
int32_t MaxStatusItem = 0;
uint32_t Start = 0;
bool FogOnOff = false;
uint32_t ObjNull = 0;
platform::WNDCLASSEXA WindowClassEx = {};
const char* const ZephVersion = "1.0";
const char* const GLWindowClass = "GLWindow";

platform::MSG Msg_ = {};
bool Active = false;
int32_t SetKey[501] = {};
bool LeftMouseDown = false, RightMouseDown = false;
bool LeftMouseDown2 = false, RightMouseDown2 = false;
bool MouseFree = false;
int32_t XCoord = 0, YCoord = 0;
int32_t ZCoord = 0;
int32_t SetMX = 0, SetMY = 0;
int32_t SetOMX = 0, SetOMY = 0;
void (*CreateMouseMenu)() = nullptr;
platform::LRESULT (*GetInputCommand)(HWND, platform::UINT, platform::WPARAM,
                                     platform::LPARAM) = nullptr;

float XRot = 0, YRot = 0;
float Depth = 0;
float XRot2 = 0, YRot2 = 0, Depth2 = 0;
int32_t MSpeed = 0;
platform::POINT MPos = {};
TGLVertex MY = {};

} // namespace Lumora
