#pragma once
// The tray platform on Qt: the icon through QSystemTrayIcon, its balloons as
// desktop notifications where a notification server is on the session bus
// (else through QSystemTrayIcon too), the hidden windows as message targets
// on the Qt event loop, timers as QTimers, the pointer from QCursor, the menu
// as a QMenu, and the hooks as event filters on the registered windows.
// Where the desktop has no notification area, every shell request is
// refused; when one appears, the restart message tells the icons to add
// themselves again.

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "desktop_notifications.h"
#include "icon_press_watch.h"
#include "tray_area_watcher.h"
#include "tray_platform.h"

namespace tray {

class TQtTrayPlatform : public QObject, public TTrayPlatform {
 public:
  TQtTrayPlatform();
  ~TQtTrayPlatform() override;

  // Gives a window a handle, so it can own a tray icon; the first window
  // registered as main is the application's main window.
  HWND RegisterWindow(QWidget* window, bool mainWindow);
  // Whether the main window should be shown at start.
  bool ShowMainFormAtStart() const { return showMainForm_; }

  bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) override;
  uint32_t RegisterWindowMessageA(const std::string& name) override;
  // New enough for the restart message, which this platform raises when a
  // notification area appears.
  std::optional<uint32_t> CommonControlsVersion() override { return 6u << 16; }
  HICON CreateIconHandle(const std::string& iconFile) override;
  void DestroyIconHandle(HICON icon) override;
  HWND AllocateHWnd(TWindowProcedure procedure) override;
  void DeallocateHWnd(HWND window) override;
  LRESULT DefWindowProcA(HWND window, uint32_t message, WPARAM, LPARAM) override;
  bool PostMessageA(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) override;
  void ProcessMessages() override;
  bool SetTimer(HWND window, uintptr_t id, uint32_t interval) override;
  bool KillTimer(HWND window, uintptr_t id) override;
  bool GetCursorPos(TPoint& point) override;
  int16_t GetAsyncKeyState(int virtualKey) override;
  uint32_t GetDoubleClickTime() override;
  bool SetForegroundWindow(HWND window) override;
  bool IsWindowVisible(HWND window) override;
  bool ShowWindow(HWND window, int command) override;
  TWindowProcedure SetWindowProcedure(HWND window, TWindowProcedure procedure) override;
  HWND ApplicationWindow() override { return kApplicationWindow; }
  void HookMainWindow(const void* owner, TApplicationHook hook) override;
  void UnhookMainWindow(const void* owner) override;
  std::optional<HWND> MainForm() override;
  bool IsMultipleDocumentFrame(HWND) override { return false; }
  bool IsMinimized(HWND form) override;
  void SetNormal(HWND form) override;
  void SetFormVisible(HWND form, bool visible) override;
  void SetShowMainForm(bool show) override { showMainForm_ = show; }
  bool Terminating() override { return terminating_; }
  void PopupMenu(TPopupMenu& menu, TPoint at) override;
  void ShareIconMenu(HWND window, uint32_t id, TPopupMenu* menu) override;
  void SetBalloonActions(HWND window, uint32_t id,
                         const std::vector<std::string>& captions) override;

  // Where the activation tokens go that notification servers hand over
  // with a pressed action, so that a program started for it may take the
  // focus.
  void SetActivationTokenSink(std::function<void(const QString& token)> sink) {
    notifications_.OnActivationToken = std::move(sink);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using TIconKey = std::pair<HWND, uint32_t>;
  // Qt has no window of the application object; this handle stands for it.
  static constexpr HWND kApplicationWindow = 1;

  LRESULT Deliver(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
  // Runs a registered window's procedure; true when it reached the window's
  // own handling.
  bool Dispatch(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
  bool RunApplicationHooks(uint32_t message, WPARAM wParam, LPARAM lParam);
  QWidget* WidgetOf(HWND window) const;
  QIcon IconOf(HICON handle) const;
  // Who draws the tooltip and the balloons: Qt itself, where it embeds the
  // icon into an X notification area (plain labels, but a tooltip that
  // guesses); a freedesktop notification server, which reads markup; or the
  // native shell.
  enum class TTextReader { QtWidgets, NotificationServer, Native };
  static TTextReader WhoReadsTheTexts();
  static QString TipText(std::string_view tip, TTextReader reader);
  static QString BalloonText(std::string_view text, TTextReader reader);
  // icon: null for an icon that stands nowhere and has only notifications.
  void Apply(QSystemTrayIcon* icon, const NOTIFYICONDATA& data);
  void ShowBalloon(QSystemTrayIcon* icon, const NOTIFYICONDATA& data, TTextReader reader);
  void ClearBalloon(QSystemTrayIcon* icon, const NOTIFYICONDATA& data, TTextReader reader);
  void Connect(QSystemTrayIcon& icon, const NOTIFYICONDATA& data);
  // Gives the icon's menu to a desktop that draws the icon itself.
  void OfferMenu(TIconKey key);
  void AnnounceTrayArea();

  HWND lastHandle_ = kApplicationWindow;
  std::map<HWND, TWindowProcedure> procedures_;
  std::map<HWND, QPointer<QWidget>> widgets_;
  std::optional<HWND> mainForm_;
  bool passedOn_ = false;
  bool applicationWindowVisible_ = true;
  bool showMainForm_ = true;
  bool terminating_ = false;
  bool repositioned_ = false;
  std::vector<std::pair<const void*, TApplicationHook>> hooks_;
  // Null where no notification area exists and a notification server
  // takes the balloons alone.
  std::map<TIconKey, std::unique_ptr<QSystemTrayIcon>> icons_;
  std::map<TIconKey, TPopupMenu*> sharedMenus_;
  // The shared menus as the desktop draws them, by icon.
  std::map<TIconKey, std::unique_ptr<QMenu>> offeredMenus_;
  std::map<TIconKey, QStringList> balloonActions_;
  std::map<HICON, QIcon> iconImages_;
  HICON lastIcon_ = 0;
  std::map<std::pair<HWND, uintptr_t>, std::unique_ptr<QTimer>> timers_;
  std::map<std::string, uint32_t> registeredMessages_;
  TIconPressWatch iconPresses_;
  TDesktopNotifications notifications_{[this](const TNoticeTarget& target, uint32_t notice) {
    PostMessageA(target.window, target.message, target.id, notice);
  }};
  TTrayAreaWatcher trayArea_{[this] { AnnounceTrayArea(); }};
};

}  // namespace tray
