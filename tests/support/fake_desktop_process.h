#pragma once
// The fake D-Bus desktop (fake_dbus_desktop.cpp) as a process a test starts
// and stops, with its controls as calls. Every wait is bounded.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QStringList>
#include <QtTest/QTest>

namespace testing_support {

class FakeDesktopProcess {
 public:
  FakeDesktopProcess() = default;
  FakeDesktopProcess(const FakeDesktopProcess&) = delete;
  FakeDesktopProcess& operator=(const FakeDesktopProcess&) = delete;
  ~FakeDesktopProcess() { Stop(); }

  // True once its services are on the bus.
  bool Start(const QStringList& arguments = {}) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(MELODROP_FAKE_DESKTOP, arguments);
    return QTest::qWaitFor(
        [] {
          return QDBusConnection::sessionBus().interface()->isServiceRegistered(kControl).value();
        },
        kWaitMs);
  }

  void Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(kWaitMs);
  }

  QStringList Calls() { return Call("Calls").arguments().value(0).toStringList(); }
  QStringList Items() { return Call("Items").arguments().value(0).toStringList(); }
  void InvokeAction(uint id, const QString& action) { Call("InvokeAction", {id, action}); }
  void Expire(uint id, uint reason) { Call("Expire", {id, reason}); }
  void ItemContextMenu(int x, int y) { Call("ItemContextMenu", {x, y}); }

 private:
  static constexpr char kControl[] = "org.melodrop.FakeDesktop";
  static constexpr int kWaitMs = 5000;

  QDBusMessage Call(const char* member, const QList<QVariant>& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(kControl, "/FakeDesktop", kControl, member);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kWaitMs);
  }

  QProcess process_;
};

}  // namespace testing_support
