#pragma once
// The settings dialog's and the skin menu's texts, as the program shows
// them (Windows-1251).

#include <string>

namespace settings_texts {

extern const std::string kCaption;  // "Настройки"
extern const std::string kPortLabel;  // "Порт подключения (по умолчанию 80)"
extern const std::string kSkinSupport;  // "Поддержка скина"
extern const std::string kSkinLabel;    // "Скин:"
extern const std::string kShowBalloon;  // "Показывать уведомления о загрузке"
extern const std::string kCancel;    // "Отмена"
extern const std::string kStandard;  // "Стандарт"
extern const std::string kOk;        // "ОК"
extern const std::string kSkinMenu;  // "Скины"
// "Порт должен быть числом от 1 до 65535"
extern const std::string kPortOutOfRange;

}  // namespace settings_texts
