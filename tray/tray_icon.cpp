#include "tray_icon.h"

#include <algorithm>

#include "tray_environment.h"
#include "tray_icon_handler.h"

namespace tray {

namespace {

constexpr uint32_t kHoverExitInterval = 20;

uint32_t InfoFlagsOf(uint8_t iconType) {
  switch (iconType) {
    case bitInfo:
      return NIIF_INFO;
    case bitWarning:
      return NIIF_WARNING;
    case bitError:
      return NIIF_ERROR;
    default:
      return NIIF_NONE;
  }
}

}  // namespace

TTrayIcon::TTrayIcon(TTrayEnvironment& environment, std::optional<HWND> ownerWindow)
    : environment_(environment),
      platform_(environment.Platform()),
      handler_(environment.AcquireIconHandler()),
      ownerWindow_(ownerWindow) {
  icon_.OnChange = [this] { IconChanged(); };
  data_.cbSize = kNotifyIconDataSize;
  data_.hWnd = handler_.Window();
  data_.uID = handler_.instances_.Add(*this);
  data_.uFlags = kIconFlags;
  data_.uCallbackMessage = kTrayNotifyMessage;
  cycleTimer_ =
      std::make_unique<TTrayTimer>(environment_, 1000, [this](TTrayTimer&) { CycleStep(); });
  clickTimer_ = std::make_unique<TTrayTimer>(environment_, 1000,
                                             [this](TTrayTimer&) { ResolveSingleClick(); });
  exitTimer_ = std::make_unique<TTrayTimer>(environment_, kHoverExitInterval,
                                            [this](TTrayTimer&) { CheckHoverExit(); });
  platform_.HookMainWindow(this, [this](uint32_t message, WPARAM wParam, LPARAM lParam) {
    return ApplicationHook(message, wParam, lParam);
  });
  if (ownerWindow_) {
    previousOwnerProcedure_ = platform_.SetWindowProcedure(
        *ownerWindow_, [this](HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
          return OwnerWindowProcedure(window, message, wParam, lParam);
        });
  }
}

TTrayIcon::~TTrayIcon() {
  // A destructor cannot report a failure; the hooks must go in any case.
  try {
    SetIconVisible(false);
    platform_.ShareIconMenu(data_.hWnd, data_.uID, nullptr);
    platform_.SetBalloonActions(data_.hWnd, data_.uID, {});
    cycleTimer_.reset();
    clickTimer_.reset();
    exitTimer_.reset();
    icon_.OnChange = nullptr;
    if (iconHandle_ != 0) platform_.DestroyIconHandle(iconHandle_);
  } catch (...) {
  }
  platform_.UnhookMainWindow(this);
  if (ownerWindow_ && previousOwnerProcedure_) {
    platform_.SetWindowProcedure(*ownerWindow_, std::move(previousOwnerProcedure_));
  }
  handler_.instances_.Remove(data_.uID);
  environment_.ReleaseIconHandler();
}

void TTrayIcon::Loaded() {
  if (ownerWindow_) {
    bool showMainForm = true;
    if (OnStartup) OnStartup(*this, showMainForm);
    if (!showMainForm) {
      platform_.SetShowMainForm(false);
      HideMainForm();
    }
  }
  UpdateTrayIcon();
  SetIconVisible(iconVisible_);
  SetCycleIcons(cycleIcons_);
  SetWantEnterExitEvents(wantEnterExitEvents_);
  data_.uTimeout = 0;  // the classic notice behaviour
  platform_.Shell_NotifyIconA(NIM_SETVERSION, data_);
}

bool TTrayIcon::SendRecord(uint32_t message) {
  if (iconHandle_ == 0 && !icon_.Empty())
    iconHandle_ = platform_.CreateIconHandle(icon_.IconFile());
  data_.hIcon = iconHandle_;
  SetTextField(data_.szTip, showHint_ ? std::string_view(hint_) : std::string_view());
  return platform_.Shell_NotifyIconA(message, data_);
}

bool TTrayIcon::AddTrayIcon() {
  iconVisible_ = true;
  return SendRecord(NIM_ADD);
}

bool TTrayIcon::DeleteTrayIcon() {
  iconVisible_ = false;
  return SendRecord(NIM_DELETE);
}

bool TTrayIcon::UpdateTrayIcon() {
  return SendRecord(NIM_MODIFY);
}

void TTrayIcon::SetIconVisible(bool visible) {
  if (visible) {
    AddTrayIcon();
  } else {
    DeleteTrayIcon();
  }
}

void TTrayIcon::IconChanged() {
  if (iconHandle_ != 0) platform_.DestroyIconHandle(iconHandle_);
  iconHandle_ = 0;
  UpdateTrayIcon();
}

void TTrayIcon::SetHint(std::string hint) {
  hint_ = std::move(hint);
  UpdateTrayIcon();
}

void TTrayIcon::SetShowHint(bool show) {
  showHint_ = show;
  UpdateTrayIcon();
}

void TTrayIcon::SetIconIndex(int index) {
  if (iconList_ != nullptr && iconList_->Count() > 0) {
    // A negative index would name no image; it selects the first one.
    iconIndex_ = std::clamp(index, 0, iconList_->Count() - 1);
    iconList_->GetIcon(iconIndex_, icon_);
  } else {
    iconIndex_ = 0;
  }
  UpdateTrayIcon();
}

void TTrayIcon::SetIconList(TImageList* list) {
  if (iconList_ != nullptr) iconList_->RemoveFreeNotification(this);
  iconList_ = list;
  if (iconList_ != nullptr) iconList_->FreeNotification(this);
  SetIconIndex(0);
}

void TTrayIcon::SetPopupMenu(TPopupMenu* menu) {
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (popupMenu_ != nullptr) popupMenu_->FreeNotification(this);
  platform_.ShareIconMenu(data_.hWnd, data_.uID, popupMenu_);
}

void TTrayIcon::SetBalloonActions(std::vector<std::string> captions) {
  if (captions.size() > kMaxBalloonActions) captions.resize(kMaxBalloonActions);
  platform_.SetBalloonActions(data_.hWnd, data_.uID, captions);
}

void TTrayIcon::Notification(TComponent* component, TOperation operation) {
  if (operation != TOperation::opRemove) return;
  if (component == iconList_) SetIconList(nullptr);
  if (component == popupMenu_) {
    popupMenu_ = nullptr;
    platform_.ShareIconMenu(data_.hWnd, data_.uID, nullptr);
  }
}

void TTrayIcon::SetCycleIcons(bool cycle) {
  cycleIcons_ = cycle;
  if (cycle) {
    SetIconIndex(0);
    cycleTimer_->SetInterval(cycleInterval_);
    cycleTimer_->Start();
  } else {
    cycleTimer_->SetEnabled(false);
  }
}

void TTrayIcon::SetCycleInterval(uint32_t interval) {
  if (interval == cycleInterval_) return;
  cycleInterval_ = interval;
  SetCycleIcons(cycleIcons_);
}

void TTrayIcon::SetWantEnterExitEvents(bool want) {
  wantEnterExitEvents_ = want;
  exitTimer_->SetEnabled(want);
}

bool TTrayIcon::DisplayBalloonHint(std::string_view title, std::string_view text, uint8_t iconType,
                                   uint8_t timeoutSeconds) {
  ClearBalloonHint();
  data_.uFlags |= NIF_INFO;
  SetTextField(data_.szInfo, text);
  SetTextField(data_.szInfoTitle, title);
  data_.uTimeout = timeoutSeconds * 1000u;
  data_.dwInfoFlags = InfoFlagsOf(iconType);
  const bool accepted = UpdateTrayIcon();
  data_.uFlags = kIconFlags;
  return accepted;
}

bool TTrayIcon::ClearBalloonHint() {
  data_.uFlags |= NIF_INFO;
  SetTextField(data_.szInfo, "");
  return UpdateTrayIcon();
}

void TTrayIcon::PopupMenuAtCursor() {
  TPoint at;
  if (platform_.GetCursorPos(at)) PopupMenuAt(at.X, at.Y);
}

void TTrayIcon::PopupMenuAt(int x, int y) {
  if (popupMenu_ == nullptr) return;
  platform_.SetForegroundWindow(data_.hWnd);
  platform_.ProcessMessages();
  popupMenu_->PopupComponent = this;
  platform_.PopupMenu(*popupMenu_, TPoint{x, y});
  // Lets the menu's owner see that the menu loop is over.
  if (ownerWindow_) platform_.PostMessageA(*ownerWindow_, WM_NULL, 0, 0);
}

TPoint TTrayIcon::PointerPosition() {
  TPoint at;
  if (!platform_.GetCursorPos(at)) at = TPoint{};
  return at;
}

TShiftState TTrayIcon::ModifierKeys() {
  TShiftState keys = 0;
  if (platform_.GetAsyncKeyState(VK_SHIFT) < 0) keys |= ssShift;
  if (platform_.GetAsyncKeyState(VK_CONTROL) < 0) keys |= ssCtrl;
  if (platform_.GetAsyncKeyState(VK_MENU) < 0) keys |= ssAlt;
  return keys;
}

void TTrayIcon::HandleNotice(uint32_t notice) {
  switch (notice) {
    case NIN_BALLOONSHOW:
      if (OnBalloonHintShow) OnBalloonHintShow(*this);
      return;
    case NIN_BALLOONHIDE:
      if (OnBalloonHintHide) OnBalloonHintHide(*this);
      return;
    case NIN_BALLOONTIMEOUT:
      if (OnBalloonHintTimeout) OnBalloonHintTimeout(*this);
      return;
    case NIN_BALLOONUSERCLICK:
      if (OnBalloonHintClick) OnBalloonHintClick(*this);
      return;
    default:
      break;
  }
  if (notice >= NIN_BALLOONACTION && notice < NIN_BALLOONACTION + kMaxBalloonActions) {
    if (OnBalloonHintAction) OnBalloonHintAction(*this, notice - NIN_BALLOONACTION);
    return;
  }
  if (!enabled_) return;
  switch (notice) {
    case WM_MOUSEMOVE: {
      if (wantEnterExitEvents_ && outside_) {
        DoMouseEnter();
        outside_ = false;
      }
      const TPoint at = PointerPosition();
      DoMouseMove(ModifierKeys(), at.X, at.Y);
      lastMove_ = at;
      return;
    }
    case WM_LBUTTONDOWN:
      HandleLeftButtonDown(ModifierKeys(), PointerPosition());
      return;
    case WM_LBUTTONUP:
      HandleLeftButtonUp(ModifierKeys(), PointerPosition());
      return;
    case WM_LBUTTONDBLCLK:
      HandleLeftDoubleClick();
      return;
    case WM_RBUTTONDOWN:
      HandleRightButtonDown(ModifierKeys(), PointerPosition());
      return;
    case WM_RBUTTONUP: {
      const TPoint at = PointerPosition();
      DoMouseUp(TMouseButton::mbRight, ModifierKeys() | ssRight, at.X, at.Y);
      return;
    }
    case WM_MBUTTONDOWN: {
      const TPoint at = PointerPosition();
      DoMouseDown(TMouseButton::mbMiddle, ModifierKeys() | ssMiddle, at.X, at.Y);
      return;
    }
    case WM_MBUTTONUP: {
      const TPoint at = PointerPosition();
      DoMouseUp(TMouseButton::mbMiddle, ModifierKeys() | ssMiddle, at.X, at.Y);
      return;
    }
    default:
      return;
  }
}

void TTrayIcon::HandleLeftButtonDown(TShiftState keys, TPoint at) {
  // With a double-click handler the click waits for the double-click time.
  if (OnDblClick) {
    clickTimer_->SetInterval(platform_.GetDoubleClickTime());
    clickTimer_->Start();
  }
  DoMouseDown(TMouseButton::mbLeft, keys | ssLeft, at.X, at.Y);
  pressPending_ = true;
  if (leftPopup_ && popupMenu_ != nullptr && popupMenu_->AutoPopup) {
    platform_.SetForegroundWindow(data_.hWnd);
    PopupMenuAtCursor();
  }
}

void TTrayIcon::HandleLeftButtonUp(TShiftState keys, TPoint at) {
  if (pressPending_) {
    clickArmed_ = true;
    if (!clickTimer_->Running()) {
      pressPending_ = false;
      clickArmed_ = false;
      DoClick();
    }
  }
  pressPending_ = false;
  DoMouseUp(TMouseButton::mbLeft, keys | ssLeft, at.X, at.Y);
}

void TTrayIcon::HandleLeftDoubleClick() {
  clickArmed_ = false;
  doubleClicked_ = true;
  DoDblClick();
  if (popupMenu_ == nullptr || !popupMenu_->AutoPopup || leftPopup_) return;
  for (const TMenuItem& item : popupMenu_->Items()) {
    if (item.Default) {
      item.Click();
      return;
    }
  }
}

void TTrayIcon::HandleRightButtonDown(TShiftState keys, TPoint at) {
  DoMouseDown(TMouseButton::mbRight, keys | ssRight, at.X, at.Y);
  if (popupMenu_ != nullptr && popupMenu_->AutoPopup) {
    platform_.SetForegroundWindow(data_.hWnd);
    PopupMenuAtCursor();
  }
}

void TTrayIcon::ResolveSingleClick() {
  clickTimer_->SetEnabled(false);
  if (!doubleClicked_ && clickArmed_) {
    clickArmed_ = false;
    DoClick();
  }
  doubleClicked_ = false;
}

void TTrayIcon::CheckHoverExit() {
  if (outside_) return;
  TPoint at;
  if (!platform_.GetCursorPos(at)) return;
  if (at != lastMove_) {
    outside_ = true;
    DoMouseExit();
  }
}

void TTrayIcon::CycleStep() {
  if (iconList_ == nullptr || iconList_->Count() == 0) return;
  const int count = iconList_->Count();
  const int current = std::min(iconIndex_, count - 1);
  iconList_->GetIcon(current, icon_);
  const int next = current + 1 >= count ? 0 : current + 1;
  DoCycle(next);
  iconIndex_ = next;
}

void TTrayIcon::HideMainForm() {
  const std::optional<HWND> mainForm = platform_.MainForm();
  if (!ownerWindow_ || !mainForm) return;
  platform_.SetFormVisible(*mainForm, false);
  const HWND applicationWindow = platform_.ApplicationWindow();
  if (platform_.IsWindowVisible(applicationWindow))
    platform_.ShowWindow(applicationWindow, SW_HIDE);
}

void TTrayIcon::DoMinimizeToTray() {
  HideMainForm();
  SetIconVisible(true);
}

bool TTrayIcon::ApplicationHook(uint32_t message, WPARAM wParam, LPARAM) {
  if (message == WM_SIZE && wParam == SIZE_MINIMIZED && minimizeToTray_) DoMinimizeToTray();
  if (message == WM_WINDOWPOSCHANGED && firstReposition_) {
    if (const std::optional<HWND> mainForm = platform_.MainForm()) {
      if (platform_.IsMultipleDocumentFrame(*mainForm)) {
        bool showMainForm = true;
        if (OnStartup) OnStartup(*this, showMainForm);
        const HWND applicationWindow = platform_.ApplicationWindow();
        if (!showMainForm && platform_.IsWindowVisible(applicationWindow)) {
          platform_.ShowWindow(applicationWindow, SW_HIDE);
        }
      }
      firstReposition_ = false;
    }
  }
  if (message == WM_SYSCOMMAND && wParam == SC_RESTORE) {
    if (const std::optional<HWND> mainForm = platform_.MainForm()) {
      if (platform_.IsMinimized(*mainForm)) platform_.SetNormal(*mainForm);
      platform_.SetFormVisible(*mainForm, true);
    }
  }
  // After a restart of the shell its notification area is empty again.
  const std::optional<uint32_t> restart = environment_.RestartMessage();
  if (restart && message == *restart && iconVisible_) AddTrayIcon();
  return false;
}

LRESULT TTrayIcon::OwnerWindowProcedure(HWND window, uint32_t message, WPARAM wParam,
                                        LPARAM lParam) {
  if (message == WM_SHOWWINDOW && wParam == 1 && lParam == 0) {
    platform_.SetForegroundWindow(platform_.ApplicationWindow());
    platform_.SetForegroundWindow(window);
  } else if ((message == WM_SHOWWINDOW && wParam == 0 && lParam == SW_PARENTCLOSING &&
              !platform_.Terminating()) ||
             (message == WM_SYSCOMMAND && wParam == SC_MINIMIZE)) {
    if (minimizeToTray_ && OnMinimizeToTray) {
      OnMinimizeToTray(*this);
      DoMinimizeToTray();
      return 1;
    }
  }
  if (!previousOwnerProcedure_) return platform_.DefWindowProcA(window, message, wParam, lParam);
  return previousOwnerProcedure_(window, message, wParam, lParam);
}

void TTrayIcon::DoClick() {
  if (OnClick) OnClick(*this);
}

void TTrayIcon::DoDblClick() {
  if (OnDblClick) OnDblClick(*this);
}

void TTrayIcon::DoCycle(int nextIndex) {
  if (OnCycle) OnCycle(*this, nextIndex);
}

void TTrayIcon::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TTrayIcon::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TTrayIcon::DoMouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}

void TTrayIcon::DoMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(*this);
}

void TTrayIcon::DoMouseExit() {
  if (OnMouseExit) OnMouseExit(*this);
}

}  // namespace tray
