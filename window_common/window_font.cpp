#include "window_font.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>

namespace {

// "MS Sans Serif" averages about 0.52 of its height per letter, Latin and
// Cyrillic alike.
constexpr double kReferenceWidthPerHeight = 0.52;

double AverageLetterWidth(const QFont& font) {
  const QString letters = QString::fromUtf8(
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
      "абвгдежзийклмнопрстуфхцчшщъыьэюяАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
  return QFontMetricsF(font).horizontalAdvance(letters) / letters.size();
}

}  // namespace

QFont WindowFont(int pixelHeight) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight);
  const double ratio = kReferenceWidthPerHeight * pixelHeight / AverageLetterWidth(font);
  if (ratio < 1.0) font.setStretch(std::max(75, static_cast<int>(std::floor(ratio * 100))));
  return font;
}
