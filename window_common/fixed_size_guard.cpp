#include "fixed_size_guard.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {

void LetGrow(QWidget& window) {
  if (window.minimumSize() == window.maximumSize())
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

}  // namespace

void TFixedSizeGuard::InstallWhereNeeded(QApplication& application) {
  if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
  application.installEventFilter(new TFixedSizeGuard(&application));
}

bool TFixedSizeGuard::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
  auto* window = static_cast<QWidget*>(watched);
  const Qt::WindowType type = window->windowType();
  if (type != Qt::Window && type != Qt::Dialog) return false;
  LetGrow(*window);
  // Message boxes fix their size again while they are shown.
  QMetaObject::invokeMethod(
      this,
      [window = QPointer<QWidget>(window)] {
        if (window) LetGrow(*window);
      },
      Qt::QueuedConnection);
  return false;
}
