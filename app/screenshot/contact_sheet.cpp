#include "contact_sheet.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include "window_font.h"

namespace {

constexpr int kColumns = 4;
constexpr int kMargin = 16;
constexpr int kTitleBar = 22;
constexpr int kNameLine = 24;

}  // namespace

QPixmap Framed(QWidget& window) {
  const QPixmap client = window.grab();
  QPixmap framed(client.width(), client.height() + kTitleBar);
  QPainter painter(&framed);
  const QPalette palette = QApplication::palette();
  painter.fillRect(0, 0, framed.width(), kTitleBar, palette.color(QPalette::Highlight));
  painter.setPen(palette.color(QPalette::HighlightedText));
  painter.setFont(WindowFont(12));
  painter.drawText(QRect(6, 0, framed.width() - 12, kTitleBar), Qt::AlignVCenter,
                   window.windowTitle());
  painter.drawPixmap(0, kTitleBar, client);
  return framed;
}

QPixmap ContactSheet(const std::vector<QPixmap>& pictures, const std::vector<QString>& names) {
  const QSize cell(pictures.front().width() + kMargin, pictures.front().height() + kNameLine);
  const int rows = (static_cast<int>(pictures.size()) + kColumns - 1) / kColumns;
  QPixmap sheet(kMargin + kColumns * cell.width(), kMargin + rows * cell.height());
  sheet.fill(QColor(0xF4F4F4));
  QPainter painter(&sheet);
  painter.setFont(WindowFont(13));
  painter.setPen(QColor(0x202020));
  for (size_t i = 0; i < pictures.size(); ++i) {
    const QPoint at(kMargin + static_cast<int>(i % kColumns) * cell.width(),
                    kMargin + static_cast<int>(i / kColumns) * cell.height());
    painter.drawPixmap(at, pictures[i]);
    painter.drawText(QRect(at.x(), at.y() + pictures[i].height(), pictures[i].width(), kNameLine),
                     Qt::AlignCenter, names[i]);
  }
  return sheet;
}
