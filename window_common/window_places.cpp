#include "window_places.h"

#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QPoint>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QSize>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

#include "files.h"

namespace {

QString PlacesFile(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

// A place kept on a screen that is gone (a monitor since unplugged) would
// open the window where nobody sees it.
bool OnAScreen(const QPoint& point) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  return std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
    return screen->availableGeometry().contains(point);
  });
}

// A window reaching past its screen's edge (its first place on a small
// screen, or a place kept for a smaller window) moves back onto it, its
// title bar first. Until the window manager has framed it, the frame is
// taken as a title bar of the style's height.
void KeepOnScreen(QWidget& window) {
  const QRect area = window.screen()->availableGeometry();
  const QRect client = window.geometry();
  QRect frame = window.frameGeometry();
  if (frame == client)
    frame.setTop(client.top() - window.style()->pixelMetric(QStyle::PM_TitleBarHeight));
  const QPoint within(
      std::max(area.left(), frame.left() + std::min(0, area.right() - frame.right())),
      std::max(area.top(), frame.top() + std::min(0, area.bottom() - frame.bottom())));
  if (within != frame.topLeft()) window.setGeometry(client.translated(within - frame.topLeft()));
}

class TFirstShowPlacer : public QObject {
 public:
  TFirstShowPlacer(QWidget& window, std::string path, const char* key)
      : QObject(&window), path_(std::move(path)), key_(key) {
    window.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show) return false;
    watched->removeEventFilter(this);
    RestoreWindowPosition(*static_cast<QWidget*>(watched), path_, key_);
    deleteLater();
    return false;
  }

 private:
  std::string path_;
  const char* key_;
};

}  // namespace

std::string DefaultWindowPlacesPath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/melodrop/windows.ini";
  const std::string home = HomeFolder();
  return home.empty() ? "" : home + "/.local/state/melodrop/windows.ini";
}

void RestoreWindowSize(QWidget& window, const std::string& path, const char* key) {
  if (path.empty()) return;
  QSettings places(PlacesFile(path), QSettings::IniFormat);
  places.beginGroup(QLatin1String(key));
  const QSize size = places.value(QStringLiteral("size")).toSize();
  // No larger than the screen it opens on, which may be smaller than the last.
  if (size.isValid()) window.resize(size.boundedTo(window.screen()->availableGeometry().size()));
  if (places.value(QStringLiteral("maximized")).toBool())
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void RestoreWindowPosition(QWidget& window, const std::string& path, const char* key) {
  if (window.isMaximized()) return;
  if (!path.empty()) {
    QSettings places(PlacesFile(path), QSettings::IniFormat);
    places.beginGroup(QLatin1String(key));
    const QVariant position = places.value(QStringLiteral("position"));
    // The client area's place: the frame's is not known yet.
    if (position.isValid() && OnAScreen(position.toPoint()))
      window.setGeometry(QRect(position.toPoint(), window.size()));
  }
  KeepOnScreen(window);
}

void KeepWindowPlace(const QWidget& window, const std::string& path, const char* key) {
  if (path.empty()) return;
  QSettings places(PlacesFile(path), QSettings::IniFormat);
  places.beginGroup(QLatin1String(key));
  places.setValue(QStringLiteral("size"), window.normalGeometry().size());
  places.setValue(QStringLiteral("maximized"), window.isMaximized());
  if (!window.isMaximized())
    places.setValue(QStringLiteral("position"), window.geometry().topLeft());
}

void PlaceBeside(QWidget& window, const QWidget& other) {
  if (!other.isVisible()) return;
  const QRect area = other.screen()->availableGeometry();
  const QRect otherFrame = other.frameGeometry();
  // The window's frame is not known before it is shown: the other's
  // borders stand in for its own.
  const int borders = otherFrame.width() - other.width();
  const int width = window.width() + borders;
  constexpr int kGap = 8;
  const int right = otherFrame.right() + 1 + kGap;
  const int left = otherFrame.left() - kGap - width;
  if (right + width - 1 <= area.right()) {
    window.move(right, otherFrame.top());
  } else if (left >= area.left()) {
    window.move(left, otherFrame.top());
  }
}

QString KeptDownloadFolder(const std::string& path) {
  if (path.empty()) return {};
  return QSettings(PlacesFile(path), QSettings::IniFormat)
      .value(QStringLiteral("downloads/folder"))
      .toString();
}

void KeepDownloadFolder(const std::string& path, const QString& folder) {
  if (path.empty()) return;
  QSettings(PlacesFile(path), QSettings::IniFormat)
      .setValue(QStringLiteral("downloads/folder"), folder);
}

void RestorePositionOnFirstShow(QWidget& window, const std::string& path, const char* key) {
  new TFirstShowPlacer(window, path, key);
}
