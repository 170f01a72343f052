#pragma once
// Everything the tray icon asks of the shell and the window system. The
// names follow the Windows calls they stand for; each platform adapter gives
// them the same effect on its own desktop.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "notify_icon_data.h"

namespace tray {

class TPopupMenu;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Window messages the component sends, receives or answers.
inline constexpr uint32_t WM_NULL = 0x0000;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUERYENDSESSION = 0x0011;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_ENDSESSION = 0x0016;
inline constexpr uint32_t WM_SHOWWINDOW = 0x0018;
inline constexpr uint32_t WM_WINDOWPOSCHANGED = 0x0047;
inline constexpr uint32_t WM_NCDESTROY = 0x0082;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_USER = 0x0400;
inline constexpr uint32_t NIN_BALLOONSHOW = WM_USER + 2;
inline constexpr uint32_t NIN_BALLOONHIDE = WM_USER + 3;
inline constexpr uint32_t NIN_BALLOONTIMEOUT = WM_USER + 4;
inline constexpr uint32_t NIN_BALLOONUSERCLICK = WM_USER + 5;
// Not a shell notice: a balloon's named action, which a desktop offers as a
// button; the action's index is added to it.
inline constexpr uint32_t NIN_BALLOONACTION = WM_USER + 0x100;
inline constexpr std::size_t kMaxBalloonActions = 8;

inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SC_MINIMIZE = 0xF020;
inline constexpr WPARAM SC_RESTORE = 0xF120;
inline constexpr LPARAM SW_PARENTCLOSING = 1;
inline constexpr int SW_HIDE = 0;

inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;

// Common-controls version from which the shell announces its restarts.
inline constexpr uint32_t kRestartMessageVersion = (4u << 16) | 71u;

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

using TWindowProcedure = std::function<LRESULT(HWND window, uint32_t message, WPARAM, LPARAM)>;
// Sees a message of the application window first; true stops it there.
using TApplicationHook = std::function<bool(uint32_t message, WPARAM, LPARAM)>;

class TTrayPlatform {
 public:
  virtual ~TTrayPlatform() = default;

  // The notification area.
  virtual bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) = 0;
  virtual uint32_t RegisterWindowMessageA(const std::string& name) = 0;
  // major × 65536 + minor, when it can be read.
  virtual std::optional<uint32_t> CommonControlsVersion() = 0;

  // Icon images: the bytes of an icon file in, a handle out (0 when the
  // bytes hold no readable image).
  virtual HICON CreateIconHandle(const std::string& iconFile) = 0;
  virtual void DestroyIconHandle(HICON icon) = 0;

  // Hidden message windows and messages.
  virtual HWND AllocateHWnd(TWindowProcedure procedure) = 0;
  virtual void DeallocateHWnd(HWND window) = 0;
  virtual LRESULT DefWindowProcA(HWND window, uint32_t message, WPARAM, LPARAM) = 0;
  virtual bool PostMessageA(HWND window, uint32_t message, WPARAM, LPARAM) = 0;
  virtual void ProcessMessages() = 0;

  // Repeating timers: WM_TIMER with wParam = id to the window.
  virtual bool SetTimer(HWND window, uintptr_t id, uint32_t interval) = 0;
  virtual bool KillTimer(HWND window, uintptr_t id) = 0;

  // Pointer and keyboard.
  virtual bool GetCursorPos(TPoint& point) = 0;
  virtual int16_t GetAsyncKeyState(int virtualKey) = 0;
  virtual uint32_t GetDoubleClickTime() = 0;

  // Top-level windows.
  virtual bool SetForegroundWindow(HWND window) = 0;
  virtual bool IsWindowVisible(HWND window) = 0;
  virtual bool ShowWindow(HWND window, int command) = 0;
  // Installs a replacement procedure and returns the one it replaces.
  virtual TWindowProcedure SetWindowProcedure(HWND window, TWindowProcedure procedure) = 0;

  // The application object: its window, its main window and its hook.
  virtual HWND ApplicationWindow() = 0;
  virtual void HookMainWindow(const void* owner, TApplicationHook hook) = 0;
  virtual void UnhookMainWindow(const void* owner) = 0;
  virtual std::optional<HWND> MainForm() = 0;
  virtual bool IsMultipleDocumentFrame(HWND form) = 0;
  virtual bool IsMinimized(HWND form) = 0;
  virtual void SetNormal(HWND form) = 0;
  virtual void SetFormVisible(HWND form, bool visible) = 0;
  virtual void SetShowMainForm(bool show) = 0;
  virtual bool Terminating() = 0;

  // Shows the menu at a screen point; returns when it has closed.
  virtual void PopupMenu(TPopupMenu& menu, TPoint at) = 0;

  // What only some desktops take; elsewhere these do nothing. The icon's
  // menu, for a desktop that draws it itself (null: none), and the named
  // actions of the icon's next balloons (captions in Windows-1251).
  virtual void ShareIconMenu(HWND /*window*/, uint32_t /*id*/, TPopupMenu* /*menu*/) {}
  virtual void SetBalloonActions(HWND /*window*/, uint32_t /*id*/,
                                 const std::vector<std::string>& /*captions*/) {}
};

}  // namespace tray
