#pragma once
// The main window's texts, as the program shows them (Windows-1251).

#include <string>

namespace app_texts {

// The application's title: the caption of its message boxes.
extern const std::string kApplicationTitle;

extern const std::string kStartNotice;  // "Сейчас произойдет подключение к серверу, ..."
// "В файле настроек указан неверный порт (" + text + "), используется порт 80."
std::string InvalidPortNotice(const std::string& portText);
extern const std::string kDownloading;  // "Скачивание файла, подождите..."
extern const std::string kDownloaded;   // "Файл успешно загружен"
// "Файл ещё загружается. Прервать загрузку и выйти из программы?"
extern const std::string kCloseDuringDownload;
extern const std::string kBalloonTitle;  // "Melodrop Downloader"
// "Файл " + title + " успешно загружен"
std::string DownloadedBalloon(const std::string& title);
// "Загружено файлов: " + count, for downloads that ended close together.
std::string DownloadedBalloons(int count);
// "Не загружено файлов: " + failed + " из " + count, when a batch has ended.
std::string FailedDownloads(int failed, int count);
extern const std::string kStopDownloads;  // "Остановить загрузки"
extern const std::string kChooseFolder;   // "Папка для загрузки"

extern const std::string kSearchButton;    // "Поиск"
extern const std::string kSearchHint;      // "Начать поиск"
extern const std::string kFileNameLabel;   // "Имя файла:"
extern const std::string kFoundNameHint;   // "Имя найденого файла"
extern const std::string kLinkLabel;       // "Ссылка:"
extern const std::string kLinkHint;        // "Ссылка на файл в интернете"
extern const std::string kDownloadButton;  // "Скачать"
extern const std::string kDownloadHint;    // "Скачать выделенный файл"
extern const std::string kListenHint;      // "Прослушать выделенный файл"
extern const std::string kAuthorPanel;     // "Created by veltor2007"

// What a screen reader says of the controls without a text of their own.
extern const std::string kBannerName;  // "Баннер Melodrop"
extern const std::string kBannerDescription;  // "Открывает форум автора программы"
extern const std::string kSearchBoxName;  // "Что искать"
extern const std::string kSearchBoxDescription;  // "Название песни или исполнитель; ..."
extern const std::string kListenName;     // "Прослушать"
extern const std::string kTitleListName;  // "Найденные файлы"
extern const std::string kTitleListDescription;  // "Выберите файл, чтобы скачать ..."
extern const std::string kStatusBarName;          // "Строка состояния"
extern const std::string kStateName;              // "Состояние"
extern const std::string kProgressName;           // "Ход загрузки"
extern const std::string kDownloadsProgressName;  // "Ход загрузки в фоне"

extern const std::string kProgramMenu;   // "Программа"
extern const std::string kStartSearch;   // "Начать поиск"
extern const std::string kStopSearch;    // "Остановить поиск"
extern const std::string kReconnect;     // "Переподключение"
extern const std::string kFileListItem;  // "Список загруженных файлов"
extern const std::string kSettingsItem;  // "Настройки"
extern const std::string kExit;          // "Выход"
extern const std::string kFileMenu;      // "Файл"
extern const std::string kCopyLink;      // "Скопировать ссылку"
extern const std::string kPlay;          // "Воспроизвести"
extern const std::string kAboutMenu;     // "О программе"

extern const std::string kSaveFilter;  // "MP3 (*.mp3)"

// Addresses of our choosing.
extern const std::string kForumURL;

}  // namespace app_texts
