#include "file_list_texts.h"

#include "cp1251.h"

namespace file_list_texts {

const std::string kCaption = Utf8ToCp1251("Список загруженных файлов");
const std::string kPlay = Utf8ToCp1251("Воспроизвести");
const std::string kOpenFolder = Utf8ToCp1251("Открыть папку");
const std::string kRemove = Utf8ToCp1251("Удалить из списка");
const std::string kClear = Utf8ToCp1251("Очистить список");
const std::string kCancel = Utf8ToCp1251("Отменить");
const std::string kRetry = Utf8ToCp1251("Повторить");
const std::string kQueued = Utf8ToCp1251("в очереди");
const std::string kCancelled = Utf8ToCp1251("отменено");
const std::string kNoFileSelected = Utf8ToCp1251("Выберите файл в списке загруженных файлов.");
const std::string kNoFiles = Utf8ToCp1251("В списке загруженных файлов нет ни одного файла.");

}  // namespace file_list_texts
