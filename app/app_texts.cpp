#include "app_texts.h"

#include "cp1251.h"

namespace app_texts {

const std::string kApplicationTitle =
    "Melodrop Downloader for the Melodrop music portal, by veltor2007";

const std::string kStartNotice = Utf8ToCp1251(
    "Сейчас произойдет подключение к серверу, убедитесь, что подключение к интернету активно");
std::string InvalidPortNotice(const std::string& portText) {
  return Utf8ToCp1251("В файле настроек указан неверный порт (") + portText +
         Utf8ToCp1251("), используется порт 80.");
}

const std::string kDownloading = Utf8ToCp1251("Скачивание файла, подождите...");
const std::string kDownloaded = Utf8ToCp1251("Файл успешно загружен");
const std::string kCloseDuringDownload =
    Utf8ToCp1251("Файл ещё загружается. Прервать загрузку и выйти из программы?");
const std::string kBalloonTitle = "Melodrop Downloader";

std::string DownloadedBalloon(const std::string& title) {
  return Utf8ToCp1251("Файл ") + title + Utf8ToCp1251(" успешно загружен");
}

std::string DownloadedBalloons(int count) {
  return Utf8ToCp1251("Загружено файлов: ") + std::to_string(count);
}

std::string FailedDownloads(int failed, int count) {
  return Utf8ToCp1251("Не загружено файлов: ") + std::to_string(failed) + Utf8ToCp1251(" из ") +
         std::to_string(count);
}

const std::string kStopDownloads = Utf8ToCp1251("Остановить загрузки");
const std::string kChooseFolder = Utf8ToCp1251("Папка для загрузки");

const std::string kSearchButton = Utf8ToCp1251("Поиск");
const std::string kSearchHint = Utf8ToCp1251("Начать поиск");
const std::string kFileNameLabel = Utf8ToCp1251("Имя файла:");
const std::string kFoundNameHint = Utf8ToCp1251("Имя найденого файла");
const std::string kLinkLabel = Utf8ToCp1251("Ссылка:");
const std::string kLinkHint = Utf8ToCp1251("Ссылка на файл в интернете");
const std::string kDownloadButton = Utf8ToCp1251("Скачать");
const std::string kDownloadHint = Utf8ToCp1251("Скачать выделенный файл");
const std::string kListenHint = Utf8ToCp1251("Прослушать выделенный файл");
const std::string kAuthorPanel = "Created by veltor2007";

const std::string kBannerName = Utf8ToCp1251("Баннер Melodrop");
const std::string kBannerDescription = Utf8ToCp1251("Открывает форум автора программы");
const std::string kSearchBoxName = Utf8ToCp1251("Что искать");
const std::string kSearchBoxDescription =
    Utf8ToCp1251("Название песни или исполнитель; Enter начинает поиск");
const std::string kListenName = Utf8ToCp1251("Прослушать");
const std::string kTitleListName = Utf8ToCp1251("Найденные файлы");
const std::string kTitleListDescription =
    Utf8ToCp1251("Выберите файл, чтобы скачать или прослушать его");
const std::string kStatusBarName = Utf8ToCp1251("Строка состояния");
const std::string kStateName = Utf8ToCp1251("Состояние");
const std::string kProgressName = Utf8ToCp1251("Ход загрузки");
const std::string kDownloadsProgressName = Utf8ToCp1251("Ход загрузки в фоне");

const std::string kProgramMenu = Utf8ToCp1251("Программа");
const std::string kStartSearch = Utf8ToCp1251("Начать поиск");
const std::string kStopSearch = Utf8ToCp1251("Остановить поиск");
const std::string kReconnect = Utf8ToCp1251("Переподключение");
const std::string kFileListItem = Utf8ToCp1251("Список загруженных файлов");
const std::string kSettingsItem = Utf8ToCp1251("Настройки");
const std::string kExit = Utf8ToCp1251("Выход");
const std::string kFileMenu = Utf8ToCp1251("Файл");
const std::string kCopyLink = Utf8ToCp1251("Скопировать ссылку");
const std::string kPlay = Utf8ToCp1251("Воспроизвести");
const std::string kAboutMenu = Utf8ToCp1251("О программе");

const std::string kSaveFilter = "MP3 (*.mp3)";

const std::string kForumURL = "http://md.example/forum/";

}  // namespace app_texts
