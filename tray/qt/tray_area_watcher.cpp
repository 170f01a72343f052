#include "tray_area_watcher.h"

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace tray {

namespace {

constexpr char kWatcherService[] = "org.kde.StatusNotifierWatcher";
constexpr char kWatcherPath[] = "/StatusNotifierWatcher";
constexpr int kPollMs = 2000;
constexpr int kBusCallMs = 500;

// The screen of DISPLAY (":0.1" is screen 1), 0 when it names none.
int ScreenNumber() {
  const QByteArray display = qgetenv("DISPLAY");
  const qsizetype dot = display.lastIndexOf('.');
  return dot > display.lastIndexOf(':') ? display.mid(dot + 1).toInt() : 0;
}

template <class Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

}  // namespace

TTrayAreaWatcher::TTrayAreaWatcher(std::function<void()> appeared)
    : appeared_(std::move(appeared)) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected()) {
    statusNotifierWatcher_.setConnection(bus);
    statusNotifierWatcher_.addWatchedService(kWatcherService);
    connect(&statusNotifierWatcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &TTrayAreaWatcher::Check);
    bus.connect(kWatcherService, kWatcherPath, kWatcherService, "StatusNotifierHostRegistered",
                this, SLOT(Check()));
  }
  // An X tray announces itself to the root window only: while there is no
  // area, a slow look is enough.
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &TTrayAreaWatcher::Check);
  present_ = StatusNotifierHostPresent() || XTrayPresent();
  if (!present_) poll_.start();
}

bool TTrayAreaWatcher::Present() {
  if (!present_) Check();
  return present_;
}

void TTrayAreaWatcher::Check() {
  const bool wasPresent = present_;
  present_ = StatusNotifierHostPresent() || XTrayPresent();
  if (present_) {
    poll_.stop();
  } else if (!poll_.isActive()) {
    poll_.start();
  }
  if (present_ && !wasPresent) QMetaObject::invokeMethod(this, appeared_, Qt::QueuedConnection);
}

bool TTrayAreaWatcher::StatusNotifierHostPresent() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kWatcherService)) return false;
  QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath,
                                                    "org.freedesktop.DBus.Properties", "Get");
  get.setArguments({QString(kWatcherService), QString("IsStatusNotifierHostRegistered")});
  const QDBusMessage reply = bus.call(get, QDBus::Block, kBusCallMs);
  return reply.type() == QDBusMessage::ReplyMessage &&
         reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
}

bool TTrayAreaWatcher::XTrayPresent() {
  if (QGuiApplication::platformName() != "xcb") return false;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (connection == nullptr) return false;
  const QByteArray selection = "_NET_SYSTEM_TRAY_S" + QByteArray::number(ScreenNumber());
  // Only a tray ever made the atom; where none exists, no tray owns it.
  const XcbReply<xcb_intern_atom_reply_t> atom(
      xcb_intern_atom_reply(connection,
                            xcb_intern_atom(connection, 1, static_cast<uint16_t>(selection.size()),
                                            selection.constData()),
                            nullptr),
      &std::free);
  if (!atom || atom->atom == XCB_NONE) return false;
  const XcbReply<xcb_get_selection_owner_reply_t> owner(
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                    nullptr),
      &std::free);
  return owner && owner->owner != XCB_NONE;
}

}  // namespace tray
