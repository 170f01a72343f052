#include "title_width.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <algorithm>

#include "wayland_window_guard.h"

namespace {

constexpr int kBoldTitleRoom = 120;  // the icon and the buttons beside it
constexpr double kQtTitleFontScale = 1.1;
constexpr int kQtTitleSideRoom = 80;  // each side of a centred title

}  // namespace

int WidthForTitle(const QString& title, const QFont& windowFont) {
  QFont bold = windowFont;
  bold.setBold(true);
  const int managerBar = QFontMetrics(bold).horizontalAdvance(title) + kBoldTitleRoom;
  if (!OnWaylandDesktop()) return managerBar;
  const int qtBar = static_cast<int>(QFontMetrics(QApplication::font()).horizontalAdvance(title) *
                                     kQtTitleFontScale) +
                    2 * kQtTitleSideRoom;
  return std::max(managerBar, qtBar);
}
