#pragma once
// A tray platform for tests. It records every shell request with a copy of
// the whole record and answers as the shell would; it keeps posted messages
// until the test lets them run, fires timers on request, and lets the test
// set the pointer, the modifier keys and the double-click time. `log` holds
// the calls whose order matters, as lines such as "foreground 1" or
// "post 3 0x0000 0 0".

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tray_platform.h"

namespace testing_support {

struct ShellRequest {
  uint32_t message;
  tray::NOTIFYICONDATA data;
  bool accepted;
};

struct ShownMenu {
  tray::TPopupMenu* menu;
  tray::TPoint at;
};

struct PostedMessage {
  tray::HWND window;
  uint32_t message;
  tray::WPARAM wParam;
  tray::LPARAM lParam;
};

// A valid icon file with one 32-bit image per size, all pixels `argb`.
std::string IconFile(const std::vector<int>& sizes, uint32_t argb = 0xFF2060C0);

class RecordingTrayPlatform : public tray::TTrayPlatform {
 public:
  RecordingTrayPlatform();

  // What the test sets.
  std::optional<uint32_t> commonControlsVersion = (6u << 16) | 0u;
  std::optional<tray::TPoint> cursor = tray::TPoint{};  // none: GetCursorPos fails
  std::set<int> keysDown;
  uint32_t doubleClickTime = 500;
  bool refuseTimers = false;
  std::optional<tray::HWND> mainForm;
  bool mainFormIsMultipleDocumentFrame = false;
  bool mainFormMinimized = false;
  bool showMainForm = true;
  bool terminating = false;
  // Runs inside the menu loop, while the menu is shown.
  std::function<void(tray::TPopupMenu& menu)> whileMenuShown;

  // What the test reads.
  std::vector<ShellRequest> shellRequests;
  std::vector<ShownMenu> menusShown;
  std::vector<PostedMessage> posts;
  std::vector<std::string> log;
  std::map<tray::HWND, bool> formVisible;
  std::set<tray::HICON> liveIconHandles;
  // What an icon gave to a desktop that draws its menu and its balloons' buttons.
  std::map<std::pair<tray::HWND, uint32_t>, tray::TPopupMenu*> sharedMenus;
  std::map<std::pair<tray::HWND, uint32_t>, std::vector<std::string>> balloonActions;
  bool HoldsIcon(tray::HWND window, uint32_t id) const;
  bool HasWindow(tray::HWND window) const { return procedures_.contains(window); }
  // Running platform timers by id, with their intervals.
  std::map<uintptr_t, uint32_t> Timers() const;
  int HookCount() const { return static_cast<int>(hooks_.size()); }

  // What the test does.
  // A top-level window whose own procedure records what reaches it as
  // "passed <window> <message>" and answers 0.
  tray::HWND CreateTopLevelWindow();
  tray::LRESULT SendMessage(tray::HWND window, uint32_t message, tray::WPARAM wParam,
                            tray::LPARAM lParam);
  // Posts a notice for an icon as the shell does, and lets it run.
  void Notify(tray::HWND iconWindow, uint32_t id, uint32_t notice);
  void FireTimer(uintptr_t id);
  void SendToApplicationWindow(uint32_t message, tray::WPARAM wParam, tray::LPARAM lParam);
  // The shell restarts: its notification area is empty.
  void RestartShell();

  bool Shell_NotifyIconA(uint32_t message, const tray::NOTIFYICONDATA& data) override;
  uint32_t RegisterWindowMessageA(const std::string& name) override;
  std::optional<uint32_t> CommonControlsVersion() override { return commonControlsVersion; }
  tray::HICON CreateIconHandle(const std::string& iconFile) override;
  void DestroyIconHandle(tray::HICON icon) override;
  tray::HWND AllocateHWnd(tray::TWindowProcedure procedure) override;
  void DeallocateHWnd(tray::HWND window) override;
  tray::LRESULT DefWindowProcA(tray::HWND, uint32_t, tray::WPARAM, tray::LPARAM) override {
    return 0;
  }
  bool PostMessageA(tray::HWND window, uint32_t message, tray::WPARAM wParam,
                    tray::LPARAM lParam) override;
  void ProcessMessages() override;
  bool SetTimer(tray::HWND window, uintptr_t id, uint32_t interval) override;
  bool KillTimer(tray::HWND window, uintptr_t id) override;
  bool GetCursorPos(tray::TPoint& point) override;
  int16_t GetAsyncKeyState(int virtualKey) override;
  uint32_t GetDoubleClickTime() override { return doubleClickTime; }
  bool SetForegroundWindow(tray::HWND window) override;
  bool IsWindowVisible(tray::HWND window) override;
  bool ShowWindow(tray::HWND window, int command) override;
  tray::TWindowProcedure SetWindowProcedure(tray::HWND window,
                                            tray::TWindowProcedure procedure) override;
  tray::HWND ApplicationWindow() override { return applicationWindow_; }
  void HookMainWindow(const void* owner, tray::TApplicationHook hook) override;
  void UnhookMainWindow(const void* owner) override;
  std::optional<tray::HWND> MainForm() override { return mainForm; }
  bool IsMultipleDocumentFrame(tray::HWND) override { return mainFormIsMultipleDocumentFrame; }
  bool IsMinimized(tray::HWND) override { return mainFormMinimized; }
  void SetNormal(tray::HWND form) override;
  void SetFormVisible(tray::HWND form, bool visible) override;
  void SetShowMainForm(bool show) override { showMainForm = show; }
  bool Terminating() override { return terminating; }
  void PopupMenu(tray::TPopupMenu& menu, tray::TPoint at) override;
  void ShareIconMenu(tray::HWND window, uint32_t id, tray::TPopupMenu* menu) override {
    sharedMenus[{window, id}] = menu;
  }
  void SetBalloonActions(tray::HWND window, uint32_t id,
                         const std::vector<std::string>& captions) override {
    balloonActions[{window, id}] = captions;
  }

 private:
  tray::HWND NewWindow(tray::TWindowProcedure procedure);

  tray::HWND lastWindow_ = 0;
  tray::HWND applicationWindow_ = 0;
  std::map<tray::HWND, tray::TWindowProcedure> procedures_;
  std::set<tray::HWND> visibleWindows_;
  std::set<std::pair<tray::HWND, uint32_t>> icons_;
  std::map<std::pair<tray::HWND, uintptr_t>, uint32_t> timers_;
  std::vector<PostedMessage> queue_;
  std::map<std::string, uint32_t> registeredMessages_;
  std::vector<std::pair<const void*, tray::TApplicationHook>> hooks_;
  tray::HICON lastIcon_ = 0;
};

}  // namespace testing_support
