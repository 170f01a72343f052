#pragma once
// A tray icon: one icon in the shell's notification area, its mouse and
// balloon notices turned into events, an attached popup menu and balloon
// notifications. Every call into the shell and the window system goes
// through the environment's platform.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "component.h"
#include "icon_image.h"
#include "notify_icon_data.h"
#include "popup_menu.h"
#include "tray_platform.h"
#include "tray_timer.h"

namespace tray {

class TTrayEnvironment;
class TTrayIconHandler;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

using TShiftState = uint8_t;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;
inline constexpr TShiftState ssLeft = 0x08;
inline constexpr TShiftState ssRight = 0x10;
inline constexpr TShiftState ssMiddle = 0x20;

// The icon types of DisplayBalloonHint.
inline constexpr uint8_t bitNone = 0;
inline constexpr uint8_t bitInfo = 1;
inline constexpr uint8_t bitWarning = 2;
inline constexpr uint8_t bitError = 3;

class TTrayIcon : public TComponent {
 public:
  using TNotifyEvent = std::function<void(TTrayIcon& sender)>;
  using TMouseEvent =
      std::function<void(TTrayIcon& sender, TMouseButton button, TShiftState shift, int x, int y)>;
  using TMouseMoveEvent = std::function<void(TTrayIcon& sender, TShiftState shift, int x, int y)>;
  using TCycleEvent = std::function<void(TTrayIcon& sender, int nextIndex)>;
  using TStartupEvent = std::function<void(TTrayIcon& sender, bool& showMainForm)>;

  // `ownerWindow` is the owner's window when the owner is a window control.
  TTrayIcon(TTrayEnvironment& environment, std::optional<HWND> ownerWindow);
  ~TTrayIcon() override;

  // The step after the owner has applied the stored property values.
  virtual void Loaded();

  // Each returns whether the shell accepted the request.
  virtual bool AddTrayIcon();
  virtual bool DeleteTrayIcon();
  virtual bool UpdateTrayIcon();

  // `iconType` is bitNone .. bitError; the time-out is in seconds.
  bool DisplayBalloonHint(std::string_view title, std::string_view text, uint8_t iconType,
                          uint8_t timeoutSeconds);
  bool ClearBalloonHint();
  void PopupMenuAtCursor();
  void PopupMenuAt(int x, int y);

  uint32_t Identity() const { return data_.uID; }
  const NOTIFYICONDATA& Data() const { return data_; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  // Changing the image held here updates the icon.
  TIcon& Icon() { return icon_; }
  void SetIcon(const TIcon& icon) { icon_.Assign(icon); }
  bool IconVisible() const { return iconVisible_; }
  void SetIconVisible(bool visible);
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int index);
  TImageList* IconList() const { return iconList_; }
  void SetIconList(TImageList* list);
  bool CycleIcons() const { return cycleIcons_; }
  void SetCycleIcons(bool cycle);
  uint32_t CycleInterval() const { return cycleInterval_; }
  void SetCycleInterval(uint32_t interval);
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  // Buttons of the balloons shown from now on, where the desktop offers
  // them (at most kMaxBalloonActions); OnBalloonHintAction reports a press.
  void SetBalloonActions(std::vector<std::string> captions);
  bool LeftPopup() const { return leftPopup_; }
  void SetLeftPopup(bool leftPopup) { leftPopup_ = leftPopup; }
  bool WantEnterExitEvents() const { return wantEnterExitEvents_; }
  void SetWantEnterExitEvents(bool want);
  bool MinimizeToTray() const { return minimizeToTray_; }
  void SetMinimizeToTray(bool minimize) { minimizeToTray_ = minimize; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;
  TCycleEvent OnCycle;
  TStartupEvent OnStartup;
  TNotifyEvent OnMinimizeToTray;
  TNotifyEvent OnBalloonHintShow;
  TNotifyEvent OnBalloonHintHide;
  TNotifyEvent OnBalloonHintTimeout;
  TNotifyEvent OnBalloonHintClick;
  std::function<void(TTrayIcon& sender, std::size_t action)> OnBalloonHintAction;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

  // Each raises its event when a handler is assigned.
  virtual void DoClick();
  virtual void DoDblClick();
  virtual void DoCycle(int nextIndex);
  virtual void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DoMouseMove(TShiftState shift, int x, int y);
  virtual void DoMouseEnter();
  virtual void DoMouseExit();
  // Hides the main window and leaves the icon.
  virtual void DoMinimizeToTray();

 private:
  friend class TTrayIconHandler;
  void HandleNotice(uint32_t notice);
  void HandleLeftButtonDown(TShiftState keys, TPoint at);
  void HandleLeftButtonUp(TShiftState keys, TPoint at);
  void HandleLeftDoubleClick();
  void HandleRightButtonDown(TShiftState keys, TPoint at);
  bool ApplicationHook(uint32_t message, WPARAM wParam, LPARAM lParam);
  LRESULT OwnerWindowProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
  void HideMainForm();
  bool SendRecord(uint32_t message);
  void IconChanged();
  void CycleStep();
  void ResolveSingleClick();
  void CheckHoverExit();
  TPoint PointerPosition();
  TShiftState ModifierKeys();

  TTrayEnvironment& environment_;
  TTrayPlatform& platform_;
  TTrayIconHandler& handler_;
  std::optional<HWND> ownerWindow_;
  TWindowProcedure previousOwnerProcedure_;
  NOTIFYICONDATA data_;
  TIcon icon_;
  HICON iconHandle_ = 0;

  bool enabled_ = true;
  bool iconVisible_ = false;
  int iconIndex_ = 0;
  TImageList* iconList_ = nullptr;
  bool cycleIcons_ = false;
  uint32_t cycleInterval_ = 0;
  std::string hint_;
  bool showHint_ = true;
  TPopupMenu* popupMenu_ = nullptr;
  bool leftPopup_ = false;
  bool wantEnterExitEvents_ = false;
  bool minimizeToTray_ = false;

  std::unique_ptr<TTrayTimer> cycleTimer_;
  std::unique_ptr<TTrayTimer> clickTimer_;
  std::unique_ptr<TTrayTimer> exitTimer_;
  bool pressPending_ = false;
  bool clickArmed_ = false;
  bool doubleClicked_ = false;
  bool outside_ = true;
  TPoint lastMove_;
  bool firstReposition_ = true;
};

}  // namespace tray
