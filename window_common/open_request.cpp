#include "open_request.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

void TDesktopOpenRequests::Open(const std::string& pathOrURL) {
  const QByteArray bytes = QByteArray::fromStdString(pathOrURL);
  const bool url =
      bytes.startsWith("http://") || bytes.startsWith("https://") || bytes.startsWith("mailto:");
  QDesktopServices::openUrl(url ? QUrl::fromEncoded(bytes)
                                : QUrl::fromLocalFile(QFile::decodeName(bytes)));
}
