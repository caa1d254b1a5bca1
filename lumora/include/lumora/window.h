// The library's one OpenGL window: its handles, settings and input state, creation and
// teardown, the window procedure, the one-message pump and the mouse-driven view.
#pragma once

#include <cstdint>

#include "lumora/types.h"
#include "platform/win_types.h"

namespace Lumora {

using platform::HDC;
using platform::HGLRC;
using platform::HWND;

// ---- window and context (creation and teardown) --------------------------------------------

extern HWND HWindow;    // the GL window; written by CreateOGLWindow
extern HDC DCWindow;    // its device context, held until teardown; written by WindowInit
extern HGLRC RCWindow;  // the rendering context, current from WindowInit on; WindowInit
extern int32_t Width;   // window size in pixels (outer size, or the screen's in full screen)
extern int32_t Height;  //   written by CreateOGLWindow and WindowCreate, never updated after
extern int32_t Bits;    // requested bits per pixel; written by CreateOGLWindow
extern bool FullScreen; // full screen or windowed; written by CreateOGLWindow (and programs)
extern int32_t Pixel_Format_Flags; // extra pixel-format flags; set by the program
extern int32_t SetTypeCursor;      // class cursor choice 1..16; written by OGLWindowSetting
extern int32_t SetTypeIcon;        // class icon choice 1..2; written by OGLWindowSetting
extern const char* CursorFile;     // cursor file for choice 7; written by OGLWindowSetting
extern const char* IconFile;       // icon file for choice 2; written by OGLWindowSetting
extern bool ShowMenuBar;           // switches the program's menu hooks on; set by the program
extern void (*CreateMenuBar)();    // program hook that builds the menu bar
extern bool ShowStatusBar;         // asks CreateOGLWindow for a status bar; set by the program
extern HWND HStatus;               // the status bar kept by CreateOGLWindow, 0 when none
extern HWND AWnd;                  // the status bar as CreateStatusBar last made it
extern char FileName[261];         // status-bar text; written by CreateStatusBar
extern int32_t StatusItem[21];     // the program's part layout, indices 1..20
extern int32_t Edges[21];          // the layout as handed to the control, indices 1..20
extern int32_t MaxStatusItem;      // number of status-bar parts, 0..20; set by the program
extern uint32_t Start;             // tick count taken by OGLWindowSetting in free-look mode
extern bool FogOnOff;              // fog switch; set by OGLWindowSetting
extern uint32_t ObjNull;           // an empty display list made by OGLWindowSetting
extern platform::WNDCLASSEXA WindowClassEx; // the "IMAGEBUTTON" class record
extern const char* const ZephVersion;       // "1.0"

// Cursor choices for OGLWindowSetting.
constexpr int32_t ARROW = 1, IBEAM = 2, WAIT = 3, CROSS = 4, UPARROW = 5, SIZE = 6, FILECURSOR = 7,
                  SIZENWSE = 8, SIZENESW = 9, SIZEWE = 10, SIZENS = 11, SIZEALL = 12, NOCURSOR = 13,
                  HAND = 14, APPSTARTING = 15, HELP = 16;
// Icon choices.
constexpr int32_t GENERIC = 1, FILEICON = 2;

constexpr int32_t Zeph_ACCELERATION = 8231;
constexpr int32_t WS_TOOLS = 1389303808;

extern const char* const GLWindowClass; // "GLWindow"

void OGLWindowSetting(int32_t TypeCursor, const char* CurFile, int32_t TypeIcon,
                      const char* IcoFile);
bool CreateOGLWindow(const char* AppName, int32_t AppWidth, int32_t AppHeight, int32_t AppBits,
                     bool AppFullScreen);
void DeleteOGLWindow();
[[noreturn]] void ThrowError(const char* pcErrorMessage);
bool WindowRegister();
HWND WindowCreate(const char* pcApplicationName);
bool WindowInit(HWND hParent);
HWND CreateStatusBar(HWND Parent);

// ---- window procedure, pump and input state -------------------------------------------------

extern platform::MSG Msg_;  // the message SetGLMsg is pumping
extern bool Active;         // true from WM_CREATE to WM_DESTROY; the frame loop's test
extern int32_t SetKey[501]; // key state by virtual-key code: 0 up, -1 down
extern bool LeftMouseDown, RightMouseDown;   // buttons held, per the window procedure
extern bool LeftMouseDown2, RightMouseDown2; // the same, for the program's own use
extern bool MouseFree;                       // free-look mode; cleared by every key release
extern int32_t XCoord, YCoord;               // left-drag anchor
extern int32_t ZCoord;                       // right-drag anchor (vertical)
extern int32_t SetMX, SetMY;                 // last left-button press position
extern int32_t SetOMX, SetOMY;               // last mouse-move position
extern void (*CreateMouseMenu)();            // program hook for the context menu
extern platform::LRESULT (*GetInputCommand)(HWND, platform::UINT, platform::WPARAM,
                                            platform::LPARAM); // program hook for commands

platform::LRESULT GLWndProc(HWND Window, platform::UINT AMessage, platform::WPARAM WParam,
                            platform::LPARAM LParam);
void SetGLMsg();
bool SetGLKey(char Key);

// ---- mouse-driven view -----------------------------------------------------------------------

extern float XRot, YRot;           // view angles in degrees, accumulated by drags
extern float Depth;                // zoom: the scene is moved by -Depth along the mode's axis
extern float XRot2, YRot2, Depth2; // a second set kept in step, for the program's own use
extern int32_t MSpeed;             // speed factor of all mouse arithmetic; set by SetGLMouseMove
extern platform::POINT MPos;       // cursor position in screen pixels (free look)
extern TGLVertex MY;               // the translation the last SetGLMouseMove applied

constexpr int32_t GL_MX = 1, GL_MY = 2, GL_MZ = 3;
constexpr int32_t GL_M0 = 0, GL_ML = 1, GL_MR = 2, GL_MOFF = 3;

void SetGLMouseMove(int32_t XYZ, int32_t Speed);

} // namespace Lumora
