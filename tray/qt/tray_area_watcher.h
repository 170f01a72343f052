#pragma once
// Whether the desktop has a notification area, and a call when one appears:
// an X tray (the owner of the _NET_SYSTEM_TRAY_S<screen> selection) or a
// StatusNotifierItem host on the session bus. Qt's own tray is not asked:
// Qt settles at its first use whether the desktop's tray is on D-Bus and
// keeps that answer, so asking before a panel has started would keep the
// icon off a D-Bus tray for the whole run.

#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>
#include <functional>

namespace tray {

class TTrayAreaWatcher : public QObject {
  Q_OBJECT

 public:
  // appeared runs from the event loop each time an area appears where
  // there was none.
  explicit TTrayAreaWatcher(std::function<void()> appeared);

  bool Present();

 private slots:
  void Check();

 private:
  static bool StatusNotifierHostPresent();
  static bool XTrayPresent();

  std::function<void()> appeared_;
  QDBusServiceWatcher statusNotifierWatcher_;
  QTimer poll_;
  bool present_ = false;
};

}  // namespace tray
