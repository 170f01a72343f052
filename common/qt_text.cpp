#include "qt_text.h"

#include "cp1251.h"

QString QStringFromCp1251(std::string_view text) {
  const std::string utf8 = Cp1251ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString QStringFromMessage(const TMessage& message) {
  return QString::fromStdString(message.Utf8());
}

std::string Cp1251FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp1251(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString DesktopPlainText(std::string_view text) {
  QString plain = QStringFromCp1251(text);
  plain.replace(QLatin1Char('&'), QLatin1String("&amp;"));
  plain.replace(QLatin1Char('<'), QLatin1String("&lt;"));
  return plain;
}
