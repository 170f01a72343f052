#pragma once
// The service's captions and messages, as the program shows them (Windows-1251).

#include <cstdint>
#include <string>

namespace service_texts {

extern const std::string kConnecting;  // "Подключение к серверу..."
extern const std::string kConnected;   // "Подключено"
extern const std::string kConnectionFailed;  // "Ошибка подключения, попробуйте позже"
extern const std::string kDisconnecting;   // "Отключение от сервера..."
extern const std::string kSearching;       // "Поиск файла..."
extern const std::string kIdle;            // "Скачивание музыки с портала"
extern const std::string kNotFound;        // "Файл не найден"
extern const std::string kConnectionLost;  // "Нет связи с сервером"

// "Поиск завершен, найдено " + count + " Файлов"
std::string SearchFinished(int matchCount);

// "Сервер ответил ошибкой: " + the status line
std::string ServerRefused(const std::string& statusLine);

// "Поиск прерван, показано " + listed + " из " + count + " Файлов"
std::string SearchCutOff(int listed, int matchCount);

// "Файл загружен не полностью: получено " + received + " из " + total + " байт."
std::string TrackIncomplete(int64_t received, int64_t total);
// "Файл загружен не полностью: сервер прервал передачу после " + received + " байт."
std::string TrackCutShort(int64_t received);
// "Файл загружен не полностью: сервер прислал только часть файла."
extern const std::string kTrackPartOnly;
// "Сервер прислал веб-страницу вместо файла."
extern const std::string kNotATrack;
// "Сервер прислал файл в сжатом виде, программа его не распаковывает."
extern const std::string kTrackEncoded;
// "Сервер прислал пустой файл."
extern const std::string kTrackEmpty;

}  // namespace service_texts
