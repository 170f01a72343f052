#pragma once
// The downloaded-files window's texts (Windows-1251).

#include <string>

namespace file_list_texts {

extern const std::string kCaption;     // "Список загруженных файлов"
extern const std::string kPlay;        // "Воспроизвести"
extern const std::string kOpenFolder;  // "Открыть папку"
extern const std::string kRemove;      // "Удалить из списка"
extern const std::string kClear;       // "Очистить список"
extern const std::string kCancel;      // "Отменить"
extern const std::string kRetry;       // "Повторить"
extern const std::string kQueued;      // "в очереди"
extern const std::string kCancelled;   // "отменено"
extern const std::string kNoFileSelected;  // "Выберите файл в списке загруженных файлов."
extern const std::string kNoFiles;  // "В списке загруженных файлов нет ни одного файла."

}  // namespace file_list_texts
