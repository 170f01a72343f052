#include "open_request.h"

#include <cerrno>

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QUrl>

#include "cp1251.h"
#include "message_boxes.h"

namespace {

void ShowRefused(const std::string& pathOrURL) {
  ShowMessage(TMessage(Utf8ToCp1251("Не удалось открыть \""))
                  .System(pathOrURL)
                  .Program(Utf8ToCp1251("\": нет программы, которая его открывает.")));
}

}  // namespace

void TDesktopOpenRequests::Open(const std::string& pathOrURL) {
  const QByteArray bytes = QByteArray::fromStdString(pathOrURL);
  const bool url =
      bytes.startsWith("http://") || bytes.startsWith("https://") || bytes.startsWith("mailto:");
  // A file removed since it was saved: that is the reason, not a missing program.
  if (!url && !QFile::exists(QFile::decodeName(bytes))) {
    ShowMessage(TMessage(Utf8ToCp1251("Не удалось открыть "))
                    .Append(QuotedPathAndReason(pathOrURL, ENOENT)));
    return;
  }
  const QUrl target =
      url ? QUrl::fromEncoded(bytes) : QUrl::fromLocalFile(QFile::decodeName(bytes));
  const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (xdgOpen.isEmpty()) {
    if (!QDesktopServices::openUrl(target)) ShowRefused(pathOrURL);
    return;
  }
  // xdg-open tells by its status whether a program took the request. It
  // may wait for that program: the process is left to run on its own when
  // this one ends, and removed once it has finished.
  auto* process = new QProcess();
  QObject::connect(process, &QProcess::finished, process,
                   [process, pathOrURL](int status, QProcess::ExitStatus) {
                     process->deleteLater();
                     if (status != 0) ShowRefused(pathOrURL);
                   });
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, pathOrURL](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     process->deleteLater();
                     ShowRefused(pathOrURL);
                   });
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  if (!activationToken_.isEmpty()) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_ACTIVATION_TOKEN"), activationToken_);
    environment.insert(QStringLiteral("DESKTOP_STARTUP_ID"), activationToken_);
    process->setProcessEnvironment(environment);
    activationToken_.clear();  // a token serves once
  }
  process->start(xdgOpen, {url ? QString::fromUtf8(bytes) : QFile::decodeName(bytes)});
}
