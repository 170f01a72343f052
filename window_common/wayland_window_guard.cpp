#include "wayland_window_guard.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "anchored_controls.h"
#include "title_width.h"

namespace {

// Only where Qt draws the title bar: a compositor's own bar (KDE) leaves
// the window no frame of Qt's.
bool QtDrawsTheTitleBar(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  return handle != nullptr && handle->frameMargins().top() > 0;
}

void FitTitle(QWidget& window) {
  if (!window.isVisible() || window.isMaximized() || window.isFullScreen() ||
      !QtDrawsTheTitleBar(window))
    return;
  const QMargins frame = window.windowHandle()->frameMargins();
  int width = WidthForTitle(window.windowTitle(), window.font()) - frame.left() - frame.right();
  if (window.screen() != nullptr)
    width = std::min(width,
                     window.screen()->availableGeometry().width() - frame.left() - frame.right());
  if (width > window.width()) window.resize(width, window.height());
}

bool IsTopLevel(const QWidget& window) {
  const Qt::WindowType type = window.windowType();
  return type == Qt::Window || type == Qt::Dialog;
}

}  // namespace

void LetGrow(QWidget& window) {
  if (window.minimumSize() != window.maximumSize()) return;
  // Its look, laid out for that size, stays whole in the middle of the
  // room it is given.
  if (QLayout* layout = window.layout()) {
    // Set once: a new alignment lays the window out again.
    if (layout->alignment() != Qt::AlignCenter) layout->setAlignment(Qt::AlignCenter);
  } else {
    auto* controls = new TAnchoredControls(&window, window.minimumSize());
    for (QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (!control->isWindow()) controls->Anchor(control, TAnchoredControls::kKeepCentred);
  }
  window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

bool OnWaylandDesktop() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void TWaylandWindowGuard::InstallWhereNeeded(QApplication& application) {
  if (OnWaylandDesktop()) Install(application);
}

QObject* TWaylandWindowGuard::Install(QApplication& application) {
  auto* guard = new TWaylandWindowGuard(&application);
  application.installEventFilter(guard);
  return guard;
}

bool TWaylandWindowGuard::eventFilter(QObject* watched, QEvent* event) {
  // Every event of the application passes here: the type is asked first.
  const QEvent::Type type = event->type();
  if ((type != QEvent::Show && type != QEvent::WindowTitleChange &&
       type != QEvent::LayoutRequest) ||
      !watched->isWidgetType())
    return false;
  auto* window = static_cast<QWidget*>(watched);
  if (!window->isWindow() || !IsTopLevel(*window)) return false;
  LetGrow(*window);
  if (type == QEvent::WindowTitleChange) {
    FitTitle(*window);
    return false;
  }
  // Message boxes fix their size again while they are shown, at each new
  // layout: once they have, it is let go again.
  QMetaObject::invokeMethod(
      this,
      [window = QPointer<QWidget>(window)] {
        if (!window) return;
        LetGrow(*window);
        FitTitle(*window);
      },
      Qt::QueuedConnection);
  return false;
}
