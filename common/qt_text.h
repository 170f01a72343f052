#pragma once
// The program's Windows-1251 text at the Qt boundary. Windows and adapters
// convert here and nowhere else.

#include <QString>
#include <string>
#include <string_view>

#include "message.h"

QString QStringFromCp1251(std::string_view text);
// A message of parts, each converted as its kind asks.
QString QStringFromMessage(const TMessage& message);
// Characters that Windows-1251 does not have become "?".
std::string Cp1251FromQString(const QString& text);
// For desktop services that read markup (notification servers): the text
// stays plain because "&" and "<" are escaped.
QString DesktopPlainText(std::string_view text);
