// A D-Bus desktop for the tray tests, on whatever session bus
// DBUS_SESSION_BUS_ADDRESS names: a StatusNotifierWatcher that is also the
// host, and a notification server that records what it is asked. The tests
// steer it through org.melodrop.FakeDesktop:
//   Calls() -> as           every Notify and CloseNotification, one line each
//   Items() -> as           the registered items, "service path"
//   InvokeAction(u, s)      emits ActivationToken ("token-<id>"), then
//                           ActionInvoked for a notification
//   Expire(u, u)            emits NotificationClosed with a reason
//   ItemContextMenu(i, i)   asks the first item for its context menu
//   ItemActivate(i, i)      activates the first item, as a left click does
// Runs until it is killed.

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QStringList>
#include <cstdio>

namespace {

constexpr char kWatcherService[] = "org.kde.StatusNotifierWatcher";
constexpr char kWatcherPath[] = "/StatusNotifierWatcher";
constexpr char kNotificationsService[] = "org.freedesktop.Notifications";
constexpr char kNotificationsPath[] = "/org/freedesktop/Notifications";
constexpr char kControlService[] = "org.melodrop.FakeDesktop";
constexpr char kControlPath[] = "/FakeDesktop";

// "WxH" of the "image-data" hint, "none" without one.
QString ImageSize(const QVariant& hints) {
  const QVariantMap map = qdbus_cast<QVariantMap>(hints);
  if (!map.contains("image-data")) return "none";
  const QDBusArgument image = map.value("image-data").value<QDBusArgument>();
  int width = 0;
  int height = 0;
  image.beginStructure();
  image >> width >> height;
  return QString("%1x%2").arg(width).arg(height);
}

class FakeDesktop : public QDBusVirtualObject {
 public:
  explicit FakeDesktop(QDBusConnection bus) : bus_(std::move(bus)) {}

  bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
    const QString member = message.member();
    const QList<QVariant> args = message.arguments();
    if (message.path() == kWatcherPath) return Watcher(message, member, args);
    if (message.path() == kNotificationsPath) return Notifications(message, member, args);
    if (message.path() == kControlPath) return Control(message, member, args);
    return false;
  }

  // Clients that read properties through a proxy introspect first.
  QString introspect(const QString& path) const override {
    if (path == kWatcherPath) {
      return R"(<interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
</interface>)";
    }
    return {};
  }

 private:
  bool Reply(const QDBusMessage& message, const QList<QVariant>& values = {}) {
    return bus_.send(message.createReply(values));
  }

  void Emit(const char* path, const char* interface, const char* name,
            const QList<QVariant>& values) {
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(values);
    bus_.send(signal);
  }

  bool Watcher(const QDBusMessage& message, const QString& member, const QList<QVariant>& args) {
    if (member == "RegisterStatusNotifierItem") {
      // A path alone names an object of the caller; a name, its default object.
      const QString item = args.value(0).toString();
      const QString entry =
          item.startsWith('/') ? message.service() + " " + item : item + " /StatusNotifierItem";
      items_ << entry;
      Emit(kWatcherPath, kWatcherService, "StatusNotifierItemRegistered", {entry});
      return Reply(message);
    }
    if (member == "RegisterStatusNotifierHost") return Reply(message);
    if (member == "Get" || member == "GetAll") {
      const QVariantMap properties{{"RegisteredStatusNotifierItems", items_},
                                   {"IsStatusNotifierHostRegistered", true},
                                   {"ProtocolVersion", 0}};
      if (member == "GetAll") return Reply(message, {properties});
      return Reply(message,
                   {QVariant::fromValue(QDBusVariant(properties.value(args.value(1).toString())))});
    }
    return false;
  }

  bool Notifications(const QDBusMessage& message, const QString& member,
                     const QList<QVariant>& args) {
    if (member == "Notify") {
      // A replaced notification keeps its id, as the protocol asks.
      const uint id = args.value(1).toUInt() != 0 ? args.value(1).toUInt() : ++lastId_;
      calls_ << QString(
                    "Notify %1 app=%2 replaces=%3 icon=%4 summary=%5 body=%6 actions=%7 "
                    "timeout=%8 image=%9 entry=%10")
                    .arg(id)
                    .arg(args.value(0).toString())
                    .arg(args.value(1).toUInt())
                    .arg(args.value(2).toString(), args.value(3).toString(),
                         args.value(4).toString(), args.value(5).toStringList().join(','))
                    .arg(args.value(7).toInt())
                    .arg(ImageSize(args.value(6)))
                    .arg(qdbus_cast<QVariantMap>(args.value(6))
                             .value("desktop-entry", QStringLiteral("none"))
                             .toString());
      return Reply(message, {id});
    }
    if (member == "CloseNotification") {
      const uint id = args.value(0).toUInt();
      calls_ << QString("CloseNotification %1").arg(id);
      Emit(kNotificationsPath, kNotificationsService, "NotificationClosed", {id, 3u});
      return Reply(message);
    }
    if (member == "GetCapabilities") {
      return Reply(message, {QStringList{"actions", "body", "body-markup"}});
    }
    if (member == "GetServerInformation") {
      return Reply(message, {"fake", "melodrop", "1", "1.2"});
    }
    return false;
  }

  bool Control(const QDBusMessage& message, const QString& member, const QList<QVariant>& args) {
    if (member == "Calls") return Reply(message, {calls_});
    if (member == "Items") return Reply(message, {items_});
    if (member == "InvokeAction") {
      Emit(kNotificationsPath, kNotificationsService, "ActivationToken",
           {args.value(0).toUInt(), QString("token-%1").arg(args.value(0).toUInt())});
      Emit(kNotificationsPath, kNotificationsService, "ActionInvoked",
           {args.value(0).toUInt(), args.value(1).toString()});
      return Reply(message);
    }
    if (member == "Expire") {
      Emit(kNotificationsPath, kNotificationsService, "NotificationClosed",
           {args.value(0).toUInt(), args.value(1).toUInt()});
      return Reply(message);
    }
    if ((member == "ItemContextMenu" || member == "ItemActivate") && !items_.isEmpty()) {
      const QStringList item = items_.front().split(' ');
      QDBusMessage call =
          QDBusMessage::createMethodCall(item.value(0), item.value(1), "org.kde.StatusNotifierItem",
                                         member == "ItemActivate" ? "Activate" : "ContextMenu");
      call.setArguments({args.value(0).toInt(), args.value(1).toInt()});
      bus_.call(call, QDBus::NoBlock);
      return Reply(message);
    }
    return false;
  }

  QDBusConnection bus_;
  QStringList items_;
  QStringList calls_;
  uint lastId_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QDBusConnection bus = QDBusConnection::sessionBus();
  const QStringList arguments = application.arguments();
  // A desktop with notifications but no tray, as GNOME without an extension.
  const bool withTray = !arguments.contains("--without-tray");
  FakeDesktop desktop(bus);
  const auto offer = [&](const char* service, const char* path) {
    return bus.registerVirtualObject(path, &desktop) && bus.registerService(service);
  };
  if (!bus.isConnected() || (withTray && !offer(kWatcherService, kWatcherPath)) ||
      !offer(kNotificationsService, kNotificationsPath)) {
    std::fprintf(stderr, "fake desktop: cannot offer its services on the session bus\n");
    return 1;
  }
  QDBusMessage hostSignal =
      QDBusMessage::createSignal(kWatcherPath, kWatcherService, "StatusNotifierHostRegistered");
  bus.send(hostSignal);
  // Last: a test that sees this name may use everything else.
  if (!offer(kControlService, kControlPath)) return 1;
  return application.exec();
}
