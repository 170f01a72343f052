#include "qt_tray_platform.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QImageReader>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QStyleHints>
#include <QTextDocument>
#include <QWindowStateChangeEvent>

#include "pointer_menus.h"
#include "popup_menu.h"
#include "qt_text.h"

namespace tray {

namespace {

QSystemTrayIcon::MessageIcon MessageIconOf(uint32_t infoFlags) {
  switch (infoFlags) {
    case NIIF_INFO:
      return QSystemTrayIcon::Information;
    case NIIF_WARNING:
      return QSystemTrayIcon::Warning;
    case NIIF_ERROR:
      return QSystemTrayIcon::Critical;
    default:
      return QSystemTrayIcon::NoIcon;
  }
}

// The desktop reports whole clicks; they become the press and release
// notices a shell would send.
std::vector<uint32_t> NoticesOf(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return {WM_LBUTTONDOWN, WM_LBUTTONUP};
    case QSystemTrayIcon::DoubleClick:
      return {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    case QSystemTrayIcon::Context:
      return {WM_RBUTTONDOWN, WM_RBUTTONUP};
    case QSystemTrayIcon::MiddleClick:
      return {WM_MBUTTONDOWN, WM_MBUTTONUP};
    default:
      return {};
  }
}

TNoticeTarget NoticeTargetOf(const NOTIFYICONDATA& data) {
  return TNoticeTarget{data.hWnd, data.uID, data.uCallbackMessage};
}

// The icon a notification server shows for a balloon's icon type.
QString InfoIconName(uint32_t infoFlags) {
  switch (infoFlags) {
    case NIIF_INFO:
      return "dialog-information";
    case NIIF_WARNING:
      return "dialog-warning";
    case NIIF_ERROR:
      return "dialog-error";
    default:
      return {};
  }
}

}  // namespace

TQtTrayPlatform::TQtTrayPlatform() {
  if (QCoreApplication* application = QCoreApplication::instance()) {
    connect(application, &QCoreApplication::aboutToQuit, this, [this] { terminating_ = true; });
    application->installEventFilter(&iconPresses_);
  }
}

TQtTrayPlatform::~TQtTrayPlatform() {
  if (QCoreApplication* application = QCoreApplication::instance()) {
    application->removeEventFilter(&iconPresses_);
  }
  for (auto& [window, widget] : widgets_) {
    if (widget) widget->removeEventFilter(this);
  }
}

HWND TQtTrayPlatform::RegisterWindow(QWidget* window, bool mainWindow) {
  const HWND handle = ++lastHandle_;
  widgets_[handle] = window;
  procedures_[handle] = [this](HWND target, uint32_t message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(target, message, wParam, lParam);
  };
  window->installEventFilter(this);
  if (mainWindow && !mainForm_) mainForm_ = handle;
  return handle;
}

QWidget* TQtTrayPlatform::WidgetOf(HWND window) const {
  auto found = widgets_.find(window);
  return found == widgets_.end() ? nullptr : found->second.data();
}

bool TQtTrayPlatform::Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) {
  // Without a notification area (GNOME without a tray extension, say), a
  // notification server still takes the balloons: the icon stands nowhere,
  // but the user hears of each download and can click the news.
  const bool area = trayArea_.Present();
  if (!area && !notifications_.Available()) return false;
  const std::pair<HWND, uint32_t> key{data.hWnd, data.uID};
  auto found = icons_.find(key);
  switch (message) {
    case NIM_ADD: {
      // An icon that stood nowhere stands in an area that has appeared.
      if (found != icons_.end() && (found->second || !area)) return false;
      std::unique_ptr<QSystemTrayIcon> icon;
      if (area) {
        icon = std::make_unique<QSystemTrayIcon>(this);
        Connect(*icon, data);
        icon->setIcon(IconOf(data.hIcon));
        icon->show();  // first, as the texts depend on who draws the icon
      }
      Apply(icon.get(), data);
      icons_[key] = std::move(icon);
      OfferMenu(key);
      return true;
    }
    case NIM_MODIFY:
      if (found == icons_.end()) return false;
      Apply(found->second.get(), data);
      return true;
    case NIM_DELETE:
      if (found == icons_.end()) return false;
      notifications_.Close(NoticeTargetOf(data));
      if (found->second) found->second->hide();
      icons_.erase(found);
      offeredMenus_.erase(key);
      return true;
    case NIM_SETVERSION:
      return found != icons_.end();
    default:
      return false;
  }
}

QIcon TQtTrayPlatform::IconOf(HICON handle) const {
  auto image = iconImages_.find(handle);
  return image == iconImages_.end() ? QIcon() : image->second;
}

TQtTrayPlatform::TTextReader TQtTrayPlatform::WhoReadsTheTexts() {
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->inherits("QSystemTrayIconSys")) return TTextReader::QtWidgets;
  }
  const QString platform = QGuiApplication::platformName();
  if (platform == "xcb" || platform.startsWith("wayland")) return TTextReader::NotificationServer;
  return TTextReader::Native;
}

QString TQtTrayPlatform::TipText(std::string_view tip, TTextReader reader) {
  if (tip.empty()) return {};
  switch (reader) {
    case TTextReader::NotificationServer:
      return DesktopPlainText(tip);
    case TTextReader::QtWidgets:
      // Qt's own tooltip would take text that looks like markup for markup.
      return Qt::convertFromPlainText(QStringFromCp1251(tip));
    default:
      return QStringFromCp1251(tip);
  }
}

QString TQtTrayPlatform::BalloonText(std::string_view text, TTextReader reader) {
  return reader == TTextReader::NotificationServer ? DesktopPlainText(text)
                                                   : QStringFromCp1251(text);
}

void TQtTrayPlatform::Apply(QSystemTrayIcon* icon, const NOTIFYICONDATA& data) {
  const TTextReader reader = icon ? WhoReadsTheTexts() : TTextReader::NotificationServer;
  if (icon && (data.uFlags & NIF_ICON)) icon->setIcon(IconOf(data.hIcon));
  if (icon && (data.uFlags & NIF_TIP)) icon->setToolTip(TipText(TextField(data.szTip), reader));
  if (!(data.uFlags & NIF_INFO)) return;
  // An empty text asks to clear the balloon.
  if (TextField(data.szInfo).empty()) {
    ClearBalloon(icon, data, reader);
  } else {
    ShowBalloon(icon, data, reader);
  }
}

void TQtTrayPlatform::ShowBalloon(QSystemTrayIcon* icon, const NOTIFYICONDATA& data,
                                  TTextReader reader) {
  const std::string_view title = TextField(data.szInfoTitle);
  const std::string_view text = TextField(data.szInfo);
  const int timeout = static_cast<int>(std::min<uint32_t>(data.uTimeout, INT32_MAX));
  // Qt would send a notification without actions, and a click on it would
  // never come back.
  if (notifications_.Available()) {
    constexpr int kImageSize = 64;
    notifications_.Show(NoticeTargetOf(data), QStringFromCp1251(title), DesktopPlainText(text),
                        InfoIconName(data.dwInfoFlags),
                        IconOf(data.hIcon).pixmap(kImageSize).toImage(), timeout,
                        balloonActions_[{data.hWnd, data.uID}]);
    return;
  }
  if (icon) {
    icon->showMessage(BalloonText(title, reader), BalloonText(text, reader),
                      MessageIconOf(data.dwInfoFlags), timeout);
  }
}

void TQtTrayPlatform::ClearBalloon(QSystemTrayIcon* icon, const NOTIFYICONDATA& data,
                                   TTextReader reader) {
  notifications_.Withdraw(NoticeTargetOf(data));
  // Qt takes its own balloon away when asked for an empty one.
  if (reader == TTextReader::QtWidgets) icon->showMessage(QString(), QString());
}

void TQtTrayPlatform::AnnounceTrayArea() {
  // As the shell announces its restart: icons refused so far add themselves now.
  auto restart = registeredMessages_.find("TaskbarCreated");
  if (restart != registeredMessages_.end()) RunApplicationHooks(restart->second, 0, 0);
}

void TQtTrayPlatform::Connect(QSystemTrayIcon& icon, const NOTIFYICONDATA& data) {
  const HWND window = data.hWnd;
  const uint32_t id = data.uID;
  const uint32_t message = data.uCallbackMessage;
  connect(&icon, &QSystemTrayIcon::activated, this,
          [this, window, id, message](QSystemTrayIcon::ActivationReason reason) {
            for (uint32_t notice : NoticesOf(reason)) PostMessageA(window, message, id, notice);
          });
  // Only a click on a balloon Qt drew itself: on a D-Bus desktop Qt reports
  // every action of the notification server as a click, and on an X tray
  // any press on the icon while a balloon shows.
  connect(&icon, &QSystemTrayIcon::messageClicked, this, [this, window, id, message] {
    if (WhoReadsTheTexts() == TTextReader::NotificationServer || iconPresses_.PressOnIcon()) {
      return;
    }
    PostMessageA(window, message, id, NIN_BALLOONUSERCLICK);
  });
}

uint32_t TQtTrayPlatform::RegisterWindowMessageA(const std::string& name) {
  auto [entry, added] = registeredMessages_.try_emplace(
      name, 0xC000 + static_cast<uint32_t>(registeredMessages_.size()));
  return entry->second;
}

HICON TQtTrayPlatform::CreateIconHandle(const std::string& iconFile) {
  QByteArray bytes(iconFile.data(), static_cast<qsizetype>(iconFile.size()));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  QIcon icon;
  for (int index = 0; index < reader.imageCount(); ++index) {
    if (!reader.jumpToImage(index)) break;
    const QImage image = reader.read();
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  }
  if (icon.isNull()) return 0;
  iconImages_[++lastIcon_] = icon;
  return lastIcon_;
}

void TQtTrayPlatform::DestroyIconHandle(HICON icon) {
  iconImages_.erase(icon);
}

HWND TQtTrayPlatform::AllocateHWnd(TWindowProcedure procedure) {
  const HWND handle = ++lastHandle_;
  procedures_[handle] = std::move(procedure);
  return handle;
}

void TQtTrayPlatform::DeallocateHWnd(HWND window) {
  procedures_.erase(window);
  std::erase_if(timers_, [window](const auto& timer) { return timer.first.first == window; });
}

LRESULT TQtTrayPlatform::DefWindowProcA(HWND window, uint32_t, WPARAM, LPARAM) {
  if (widgets_.contains(window)) passedOn_ = true;
  return 0;
}

LRESULT TQtTrayPlatform::Deliver(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  auto found = procedures_.find(window);
  if (found == procedures_.end()) return 0;
  TWindowProcedure procedure = found->second;  // the call may replace it
  return procedure(window, message, wParam, lParam);
}

bool TQtTrayPlatform::PostMessageA(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (!procedures_.contains(window)) return false;
  QMetaObject::invokeMethod(
      this, [this, window, message, wParam, lParam] { Deliver(window, message, wParam, lParam); },
      Qt::QueuedConnection);
  return true;
}

void TQtTrayPlatform::ProcessMessages() {
  QCoreApplication::processEvents();
}

bool TQtTrayPlatform::SetTimer(HWND window, uintptr_t id, uint32_t interval) {
  if (!procedures_.contains(window)) return false;
  std::unique_ptr<QTimer>& timer = timers_[{window, id}];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    connect(timer.get(), &QTimer::timeout, this,
            [this, window, id] { Deliver(window, WM_TIMER, id, 0); });
  }
  timer->start(static_cast<int>(std::min<uint32_t>(interval, INT32_MAX)));
  return true;
}

bool TQtTrayPlatform::KillTimer(HWND window, uintptr_t id) {
  return timers_.erase({window, id}) == 1;
}

bool TQtTrayPlatform::GetCursorPos(TPoint& point) {
  if (QGuiApplication::primaryScreen() == nullptr) return false;
  const QPoint at = QCursor::pos();
  point = TPoint{at.x(), at.y()};
  return true;
}

int16_t TQtTrayPlatform::GetAsyncKeyState(int virtualKey) {
  const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
  const bool down = (virtualKey == VK_SHIFT && keys.testFlag(Qt::ShiftModifier)) ||
                    (virtualKey == VK_CONTROL && keys.testFlag(Qt::ControlModifier)) ||
                    (virtualKey == VK_MENU && keys.testFlag(Qt::AltModifier));
  return down ? static_cast<int16_t>(0x8000) : 0;
}

uint32_t TQtTrayPlatform::GetDoubleClickTime() {
  return static_cast<uint32_t>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

bool TQtTrayPlatform::SetForegroundWindow(HWND window) {
  if (QWidget* widget = WidgetOf(window)) {
    widget->raise();
    widget->activateWindow();
    return true;
  }
  return procedures_.contains(window);
}

bool TQtTrayPlatform::IsWindowVisible(HWND window) {
  if (window == kApplicationWindow) return applicationWindowVisible_;
  const QWidget* widget = WidgetOf(window);
  return widget != nullptr && widget->isVisible();
}

bool TQtTrayPlatform::ShowWindow(HWND window, int command) {
  const bool wasVisible = IsWindowVisible(window);
  if (window == kApplicationWindow) {
    applicationWindowVisible_ = command != SW_HIDE;
  } else if (QWidget* widget = WidgetOf(window)) {
    widget->setVisible(command != SW_HIDE);
  }
  return wasVisible;
}

TWindowProcedure TQtTrayPlatform::SetWindowProcedure(HWND window, TWindowProcedure procedure) {
  auto found = procedures_.find(window);
  if (found == procedures_.end()) return {};
  std::swap(found->second, procedure);
  return procedure;
}

void TQtTrayPlatform::HookMainWindow(const void* owner, TApplicationHook hook) {
  hooks_.emplace_back(owner, std::move(hook));
}

void TQtTrayPlatform::UnhookMainWindow(const void* owner) {
  std::erase_if(hooks_, [owner](const auto& hook) { return hook.first == owner; });
}

bool TQtTrayPlatform::RunApplicationHooks(uint32_t message, WPARAM wParam, LPARAM lParam) {
  const auto hooks = hooks_;  // a hook may unhook
  for (const auto& [owner, hook] : hooks) {
    if (hook(message, wParam, lParam)) return true;
  }
  return false;
}

std::optional<HWND> TQtTrayPlatform::MainForm() {
  if (mainForm_ && WidgetOf(*mainForm_) != nullptr) return mainForm_;
  return std::nullopt;
}

bool TQtTrayPlatform::IsMinimized(HWND form) {
  const QWidget* widget = WidgetOf(form);
  return widget != nullptr && widget->isMinimized();
}

void TQtTrayPlatform::SetNormal(HWND form) {
  if (QWidget* widget = WidgetOf(form)) widget->showNormal();
}

void TQtTrayPlatform::SetFormVisible(HWND form, bool visible) {
  if (QWidget* widget = WidgetOf(form)) widget->setVisible(visible);
}

void TQtTrayPlatform::ShareIconMenu(HWND window, uint32_t id, TPopupMenu* menu) {
  const TIconKey key{window, id};
  if (menu == nullptr) {
    sharedMenus_.erase(key);
  } else {
    sharedMenus_[key] = menu;
  }
  OfferMenu(key);
}

void TQtTrayPlatform::OfferMenu(TIconKey key) {
  auto icon = icons_.find(key);
  auto shared = sharedMenus_.find(key);
  // Where Qt draws the icon into an X tray, Qt would show the menu on a
  // right click beside the one the icon's own notices show.
  const bool drawnByDesktop =
      icon != icons_.end() && icon->second && WhoReadsTheTexts() != TTextReader::QtWidgets;
  if (!drawnByDesktop || shared == sharedMenus_.end()) {
    if (icon != icons_.end() && icon->second) icon->second->setContextMenu(nullptr);
    offeredMenus_.erase(key);
    return;
  }
  auto offered = std::make_unique<QMenu>();
  TPopupMenu* menu = shared->second;
  for (std::size_t index = 0; index < menu->Items().size(); ++index) {
    const TMenuItem& item = menu->Items()[index];
    if (!item.Visible) continue;
    QAction* action = offered->addAction(QStringFromCp1251(item.Caption));
    action->setEnabled(item.Enabled);
    connect(action, &QAction::triggered, this, [menu, index] {
      if (index < menu->Items().size()) {
        const TMenuItem chosen = menu->Items()[index];  // the handler may change the menu
        chosen.Click();
      }
    });
  }
  icon->second->setContextMenu(offered.get());
  offeredMenus_[key] = std::move(offered);
}

void TQtTrayPlatform::SetBalloonActions(HWND window, uint32_t id,
                                        const std::vector<std::string>& captions) {
  QStringList& actions = balloonActions_[{window, id}];
  actions.clear();
  for (const std::string& caption : captions) actions << QStringFromCp1251(caption);
}

void TQtTrayPlatform::PopupMenu(TPopupMenu& menu, TPoint at) {
  // A desktop that draws the menu has shown it; a menu of ours would not
  // stand where the platform cannot place it at the pointer (Wayland).
  const bool drawnElsewhere =
      std::any_of(offeredMenus_.begin(), offeredMenus_.end(), [&](const auto& entry) {
        auto shared = sharedMenus_.find(entry.first);
        return shared != sharedMenus_.end() && shared->second == &menu;
      });
  if (drawnElsewhere && !MenusOpenAtThePointer()) return;
  QMenu popup;
  std::optional<std::size_t> chosen;
  for (std::size_t index = 0; index < menu.Items().size(); ++index) {
    const TMenuItem& item = menu.Items()[index];
    if (!item.Visible) continue;
    QAction* action = popup.addAction(QStringFromCp1251(item.Caption));
    action->setEnabled(item.Enabled);
    if (item.Default) {
      QFont bold = action->font();
      bold.setBold(true);
      action->setFont(bold);
    }
    connect(action, &QAction::triggered, &popup, [&chosen, index] { chosen = index; });
  }
  popup.exec(QPoint(at.X, at.Y));
  if (chosen && *chosen < menu.Items().size()) {
    const TMenuItem item = menu.Items()[*chosen];  // the handler may change the menu
    item.Click();
  }
}

bool TQtTrayPlatform::Dispatch(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  const bool outer = passedOn_;
  passedOn_ = false;
  Deliver(window, message, wParam, lParam);
  const bool reached = passedOn_;
  passedOn_ = outer;
  return reached;
}

bool TQtTrayPlatform::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::Show && type != QEvent::WindowStateChange && type != QEvent::Move &&
      type != QEvent::Resize) {
    return false;
  }
  HWND window = 0;
  for (const auto& [handle, widget] : widgets_) {
    if (widget == watched) window = handle;
  }
  auto* widget = qobject_cast<QWidget*>(watched);
  if (window == 0 || widget == nullptr) return false;
  const bool isMainForm = mainForm_ == window;
  switch (type) {
    case QEvent::Show:
      // Shown by the program, not restored by the desktop.
      if (!event->spontaneous()) Dispatch(window, WM_SHOWWINDOW, 1, 0);
      return false;
    case QEvent::WindowStateChange: {
      // Qt has no application window: the main window's minimise and
      // restore stand for the taskbar button's.
      const bool wasMinimized =
          static_cast<QWindowStateChangeEvent*>(event)->oldState().testFlag(Qt::WindowMinimized);
      if (!widget->isMinimized()) {
        if (wasMinimized && isMainForm) RunApplicationHooks(WM_SYSCOMMAND, SC_RESTORE, 0);
        return false;
      }
      if (!Dispatch(window, WM_SYSCOMMAND, SC_MINIMIZE, 0)) return true;
      if (isMainForm) RunApplicationHooks(WM_SIZE, SIZE_MINIMIZED, 0);
      return false;
    }
    case QEvent::Move:
    case QEvent::Resize:
      if (isMainForm && !repositioned_) {
        repositioned_ = true;
        RunApplicationHooks(WM_WINDOWPOSCHANGED, 0, 0);
      }
      return false;
    default:
      return false;
  }
}

}  // namespace tray
