#include "service_texts.h"

#include "cp1251.h"

namespace service_texts {

const std::string kConnecting = Utf8ToCp1251("Подключение к серверу...");
const std::string kConnected = Utf8ToCp1251("Подключено");
const std::string kConnectionFailed = Utf8ToCp1251("Ошибка подключения, попробуйте позже");
const std::string kDisconnecting = Utf8ToCp1251("Отключение от сервера...");
const std::string kSearching = Utf8ToCp1251("Поиск файла...");
const std::string kIdle = Utf8ToCp1251("Скачивание музыки с портала");
const std::string kNotFound = Utf8ToCp1251("Файл не найден");
const std::string kConnectionLost = Utf8ToCp1251("Нет связи с сервером");

std::string SearchFinished(int matchCount) {
  return Utf8ToCp1251("Поиск завершен, найдено ") + std::to_string(matchCount) +
         Utf8ToCp1251(" Файлов");
}

std::string SearchCutOff(int listed, int matchCount) {
  return Utf8ToCp1251("Поиск прерван, показано ") + std::to_string(listed) + Utf8ToCp1251(" из ") +
         std::to_string(matchCount) + Utf8ToCp1251(" Файлов");
}

std::string ServerRefused(const std::string& statusLine) {
  return Utf8ToCp1251("Сервер ответил ошибкой: ") + statusLine;
}

std::string TrackIncomplete(int64_t received, int64_t total) {
  return Utf8ToCp1251("Файл загружен не полностью: получено ") + std::to_string(received) +
         Utf8ToCp1251(" из ") + std::to_string(total) + Utf8ToCp1251(" байт.");
}

const std::string kNotATrack = Utf8ToCp1251("Сервер прислал веб-страницу вместо файла.");
const std::string kTrackEncoded =
    Utf8ToCp1251("Сервер прислал файл в сжатом виде, программа его не распаковывает.");
const std::string kTrackEmpty = Utf8ToCp1251("Сервер прислал пустой файл.");
const std::string kTrackPartOnly =
    Utf8ToCp1251("Файл загружен не полностью: сервер прислал только часть файла.");

std::string TrackCutShort(int64_t received) {
  return Utf8ToCp1251("Файл загружен не полностью: сервер прервал передачу после ") +
         std::to_string(received) + Utf8ToCp1251(" байт.");
}

}  // namespace service_texts
