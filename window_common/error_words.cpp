#include "error_words.h"

#include <string>

#include "cp1251.h"
#include "files.h"
#include "net_exceptions.h"
#include "profile_file.h"

namespace {

TMessage Words(const char* utf8) {
  return TMessage(Utf8ToCp1251(utf8));
}

// The socket failures a user meets, by their Windows Sockets code.
TMessage SocketWords(int code) {
  const char* reason = nullptr;
  switch (code) {
    case 10061:
      reason = "сервер отклонил подключение.";
      break;
    case 10060:
      reason = "сервер не ответил вовремя.";
      break;
    case 10053:
    case 10054:
      reason = "сервер разорвал соединение.";
      break;
    case 10050:
    case 10051:
    case 10064:
    case 10065:
      reason = "сервер недоступен.";
      break;
    case 11001:
    case 11002:
    case 11003:
    case 11004:
      reason = "сервер не найден.";
      break;
    default:
      return Words("Ошибка подключения: ошибка сети ").Program(std::to_string(code) + ".");
  }
  return Words("Ошибка подключения: ").Program(Utf8ToCp1251(reason));
}

}  // namespace

TMessage WindowMessageOf(const std::exception& error) {
  if (const auto* file = dynamic_cast<const EFileError*>(&error)) {
    if (file->Action() == EFileError::TAction::kWrite) return file->Message();
    return Words("Не удалось создать файл ")
        .Append(QuotedPathAndReason(file->Path(), file->Error()));
  }
  if (const auto* socket = dynamic_cast<const ENetSocketError*>(&error))
    return SocketWords(socket->LastError());
  if (const auto* status = dynamic_cast<const ENetHTTPProtocolException*>(&error))
    return Words("Сервер ответил ошибкой: ").Append(status->Message());
  if (dynamic_cast<const ENetNotConnected*>(&error) != nullptr ||
      dynamic_cast<const ENetConnClosedGracefully*>(&error) != nullptr)
    return Words("Соединение с сервером прервано.");
  if (dynamic_cast<const ENetReadTimeout*>(&error) != nullptr) return Words("Сервер не отвечает.");
  if (dynamic_cast<const ENetConnectTimeout*>(&error) != nullptr)
    return Words("Ошибка подключения: сервер не ответил вовремя.");
  if (dynamic_cast<const ENetTooManyRedirects*>(&error) != nullptr)
    return Words("Сервер перенаправляет запрос слишком много раз.");
  if (dynamic_cast<const ENetUnknownProtocol*>(&error) != nullptr ||
      dynamic_cast<const ENetIOHandlerPropInvalid*>(&error) != nullptr)
    return Words("Адрес не поддерживается: программа загружает только по http.");
  if (dynamic_cast<const ENetInvalidHostName*>(&error) != nullptr ||
      dynamic_cast<const ENetInvalidPort*>(&error) != nullptr)
    return Words("Неверный адрес сервера в ссылке.");
  if (dynamic_cast<const ENetProtocolReplyError*>(&error) != nullptr ||
      dynamic_cast<const ENetReadLnMaxLineLengthExceeded*>(&error) != nullptr ||
      dynamic_cast<const ENetNotANumber*>(&error) != nullptr)
    return Words("Сервер прислал ответ, который не удалось прочитать.");
  if (dynamic_cast<const ENetBodyTooLarge*>(&error) != nullptr)
    return Words("Ответ сервера слишком велик.");
  if (const auto* settings = dynamic_cast<const EIniFileException*>(&error))
    return Words("Не удалось сохранить настройки в файл ").System(settings->Path()).Program(".");
  return MessageOf(error);
}
