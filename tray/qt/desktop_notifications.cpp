#include "desktop_notifications.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QTimer>
#include <vector>

#include "tray_platform.h"

namespace tray {

namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
constexpr char kDefaultAction[] = "default";
constexpr uint kExpired = 1;
constexpr uint kDismissedByUser = 2;

// The "image-data" hint: width, height, row stride, alpha, bits per
// sample, channels and the RGBA bytes.
QVariant ImageData(const QImage& image) {
  const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
  QDBusArgument data;
  data.beginStructure();
  data << rgba.width() << rgba.height() << static_cast<int>(rgba.bytesPerLine()) << true << 8 << 4
       << QByteArray(reinterpret_cast<const char*>(rgba.constBits()),
                     static_cast<qsizetype>(rgba.sizeInBytes()));
  data.endStructure();
  return QVariant::fromValue(data);
}

}  // namespace

TDesktopNotifications::TDesktopNotifications(TNoticeSink sink)
    : sink_(std::move(sink)), bus_(QDBusConnection::sessionBus()) {
  if (!bus_.isConnected()) return;
  bus_.connect(kService, kPath, kService, "ActionInvoked", this,
               SLOT(OnActionInvoked(uint, QString)));
  bus_.connect(kService, kPath, kService, "NotificationClosed", this,
               SLOT(OnNotificationClosed(uint, uint)));
  bus_.connect(kService, kPath, kService, "ActivationToken", this,
               SLOT(OnActivationTokenGiven(uint, QString)));
}

bool TDesktopNotifications::Available() {
  if (!bus_.isConnected()) return false;
  if (bus_.interface()->isServiceRegistered(kService)) return true;
  // A server the bus starts on the first call counts too.
  if (!activatable_) {
    activatable_ = bus_.interface()->activatableServiceNames().value().contains(kService);
  }
  return *activatable_;
}

void TDesktopNotifications::Show(const TNoticeTarget& target, const QString& summary,
                                 const QString& body, const QString& iconName, const QImage& image,
                                 int timeoutMs, const QStringList& namedActions) {
  const uint replaces = TakeOver({target.window, target.id});
  Close(target);
  const uint64_t serial = ++lastSerial_;
  shown_[serial] = TShown{target};
  current_[{target.window, target.id}] = serial;
  QVariantMap hints;
  if (!image.isNull()) hints["image-data"] = ImageData(image);
  // The server groups and names the notification by the program's desktop entry.
  if (!QGuiApplication::desktopFileName().isEmpty())
    hints["desktop-entry"] = QGuiApplication::desktopFileName();
  // Pairs of key and caption; a named action's key is its index.
  QStringList actions{kDefaultAction, QString()};
  for (qsizetype index = 0; index < namedActions.size(); ++index)
    actions << QString::number(index) << namedActions[index];
  QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kService, "Notify");
  notify.setArguments({QGuiApplication::applicationDisplayName(), replaces, iconName, summary, body,
                       actions, hints, timeoutMs});
  auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
  connect(call, &QDBusPendingCallWatcher::finished, this,
          [this, serial](QDBusPendingCallWatcher* c) {
            c->deleteLater();
            const QDBusMessage reply = c->reply();
            Answered(serial, reply.type() == QDBusMessage::ReplyMessage
                                 ? reply.arguments().value(0).toUInt()
                                 : 0);
          });
}

void TDesktopNotifications::Answered(uint64_t serial, uint serverId) {
  auto found = shown_.find(serial);
  if (found == shown_.end()) return;
  TShown& shown = found->second;
  if (serverId == 0) {  // refused: nothing is on screen
    std::erase_if(current_, [serial](const auto& entry) { return entry.second == serial; });
    shown_.erase(found);
    return;
  }
  shown.serverId = serverId;
  if (shown.withdrawn) {
    CloseOnServer(serverId);
    return;
  }
  shown.announced = true;
  sink_(shown.target, NIN_BALLOONSHOW);
}

uint TDesktopNotifications::TakeOver(const TKey& key) {
  std::optional<uint64_t> serial;
  if (auto withdrawing = withdrawing_.find(key); withdrawing != withdrawing_.end()) {
    serial = withdrawing->second;
    withdrawing_.erase(withdrawing);
  } else if (auto current = current_.find(key); current != current_.end()) {
    serial = current->second;
  }
  auto found = serial ? shown_.find(*serial) : shown_.end();
  // Not yet answered, the old one has no id to be replaced by: it goes.
  if (found == shown_.end() || found->second.serverId == 0) return 0;
  const TShown replaced = found->second;
  std::erase_if(current_, [&](const auto& entry) { return entry.second == *serial; });
  shown_.erase(found);
  // As its close would have told; after this call, as the server would.
  if (replaced.announced && !replaced.acted) {
    QMetaObject::invokeMethod(
        this, [this, target = replaced.target] { sink_(target, NIN_BALLOONHIDE); },
        Qt::QueuedConnection);
  }
  return replaced.serverId;
}

void TDesktopNotifications::Withdraw(const TNoticeTarget& target) {
  const TKey key{target.window, target.id};
  auto current = current_.find(key);
  if (current == current_.end()) return;
  const uint64_t serial = current->second;
  current_.erase(current);
  auto found = shown_.find(serial);
  if (found == shown_.end()) return;
  found->second.withdrawn = true;
  // Unanswered, it is closed once the server answers.
  if (found->second.serverId == 0) return;
  withdrawing_[key] = serial;
  QTimer::singleShot(0, this, [this, key, serial] {
    auto withdrawing = withdrawing_.find(key);
    if (withdrawing == withdrawing_.end() || withdrawing->second != serial) return;
    withdrawing_.erase(withdrawing);
    CloseShown(serial);
  });
}

void TDesktopNotifications::Close(const TNoticeTarget& target) {
  const TKey key{target.window, target.id};
  std::vector<uint64_t> serials;
  if (auto current = current_.find(key); current != current_.end()) {
    serials.push_back(current->second);
    current_.erase(current);
  }
  if (auto withdrawing = withdrawing_.find(key); withdrawing != withdrawing_.end()) {
    serials.push_back(withdrawing->second);
    withdrawing_.erase(withdrawing);
  }
  for (const uint64_t serial : serials) CloseShown(serial);
}

void TDesktopNotifications::CloseShown(uint64_t serial) {
  auto found = shown_.find(serial);
  if (found == shown_.end()) return;
  found->second.withdrawn = true;
  // Unanswered, it is closed once the server answers.
  if (found->second.serverId != 0) CloseOnServer(found->second.serverId);
}

void TDesktopNotifications::CloseOnServer(uint serverId) {
  QDBusMessage close =
      QDBusMessage::createMethodCall(kService, kPath, kService, "CloseNotification");
  close.setArguments({serverId});
  bus_.asyncCall(close);
}

std::map<uint64_t, TDesktopNotifications::TShown>::iterator TDesktopNotifications::FindByServerId(
    uint serverId) {
  return std::find_if(shown_.begin(), shown_.end(),
                      [serverId](const auto& entry) { return entry.second.serverId == serverId; });
}

void TDesktopNotifications::OnActionInvoked(uint id, const QString& action) {
  auto found = FindByServerId(id);
  if (found == shown_.end()) return;
  TShown& shown = found->second;
  bool named = false;
  const uint index = action.toUInt(&named);
  if (named ? index >= kMaxBalloonActions : action != kDefaultAction) return;
  // A server that keeps the notification may report its click twice; its
  // buttons may each be pressed.
  if (!named && shown.clicked) return;
  shown.clicked = shown.clicked || !named;
  shown.acted = true;
  sink_(shown.target, named ? NIN_BALLOONACTION + index : NIN_BALLOONUSERCLICK);
}

void TDesktopNotifications::OnActivationTokenGiven(uint id, const QString& token) {
  if (FindByServerId(id) != shown_.end() && OnActivationToken) OnActivationToken(token);
}

void TDesktopNotifications::OnNotificationClosed(uint id, uint reason) {
  auto found = FindByServerId(id);
  if (found == shown_.end()) return;
  const TShown shown = found->second;
  std::erase_if(current_, [&found](const auto& entry) { return entry.second == found->first; });
  shown_.erase(found);
  // A balloon acted on only reports the action; one never announced reports nothing.
  if (shown.acted || !shown.announced) return;
  sink_(shown.target,
        reason == kExpired || reason == kDismissedByUser ? NIN_BALLOONTIMEOUT : NIN_BALLOONHIDE);
}

}  // namespace tray
