#include "settings_texts.h"

#include "cp1251.h"

namespace settings_texts {

const std::string kCaption = Utf8ToCp1251("Настройки");
const std::string kPortLabel = Utf8ToCp1251("Порт подключения (по умолчанию 80)");
const std::string kSkinSupport = Utf8ToCp1251("Поддержка скина");
const std::string kSkinLabel = Utf8ToCp1251("Скин:");
const std::string kShowBalloon = Utf8ToCp1251("Показывать уведомления о загрузке");
const std::string kCancel = Utf8ToCp1251("Отмена");
const std::string kStandard = Utf8ToCp1251("Стандарт");
const std::string kOk = Utf8ToCp1251("ОК");
const std::string kSkinMenu = Utf8ToCp1251("Скины");
const std::string kPortOutOfRange = Utf8ToCp1251("Порт должен быть числом от 1 до 65535");

}  // namespace settings_texts
