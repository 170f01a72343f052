#pragma once
// Qt's icon in an X notification area counts any press on the icon while a
// balloon shows as a click on the balloon. Watching every object of the
// application, this marks such a press while Qt handles it, so that the
// click it causes can be told from a click on the balloon itself.

#include <QEvent>
#include <QObject>
#include <QTimer>

namespace tray {

class TIconPressWatch : public QObject {
 public:
  bool PressOnIcon() const { return pressOnIcon_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress && watched->inherits("QSystemTrayIconSys")) {
      pressOnIcon_ = true;
      // Cleared once the press has been handled.
      QTimer::singleShot(0, this, [this] { pressOnIcon_ = false; });
    }
    return false;
  }

 private:
  bool pressOnIcon_ = false;
};

}  // namespace tray
