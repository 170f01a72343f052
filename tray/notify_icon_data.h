#pragma once
// The notify-icon record in the shell's 8-bit-character form (the layout of
// shell version 5, with the balloon fields) and what goes into it.

#include <cstdint>
#include <string_view>

namespace tray {

using HWND = std::uintptr_t;
using HICON = std::uintptr_t;

inline constexpr uint32_t NIM_ADD = 0;
inline constexpr uint32_t NIM_MODIFY = 1;
inline constexpr uint32_t NIM_DELETE = 2;
inline constexpr uint32_t NIM_SETVERSION = 4;

inline constexpr uint32_t NIF_MESSAGE = 0x01;
inline constexpr uint32_t NIF_ICON = 0x02;
inline constexpr uint32_t NIF_TIP = 0x04;
inline constexpr uint32_t NIF_INFO = 0x10;
inline constexpr uint32_t kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

inline constexpr uint32_t NIIF_NONE = 0;
inline constexpr uint32_t NIIF_INFO = 1;
inline constexpr uint32_t NIIF_WARNING = 2;
inline constexpr uint32_t NIIF_ERROR = 3;

inline constexpr uint32_t kNotifyIconDataSize = 488;
inline constexpr uint32_t kTrayNotifyMessage = 0x800;  // WM_USER + 0x400

struct NOTIFYICONDATA {
  uint32_t cbSize = 0;
  HWND hWnd = 0;
  uint32_t uID = 0;
  uint32_t uFlags = 0;
  uint32_t uCallbackMessage = 0;
  HICON hIcon = 0;
  char szTip[128] = {};
  uint32_t dwState = 0;
  uint32_t dwStateMask = 0;
  char szInfo[256] = {};
  uint32_t uTimeout = 0;  // also uVersion, for NIM_SETVERSION
  char szInfoTitle[64] = {};
  uint32_t dwInfoFlags = 0;
};

// Puts the text's first N - 1 bytes and a terminating zero into the field,
// and zeroes the rest of it.
template <std::size_t N>
void SetTextField(char (&field)[N], std::string_view text) {
  const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
  for (std::size_t i = 0; i < N; ++i) field[i] = i < length ? text[i] : '\0';
}

// A field's text: the bytes up to its first zero.
template <std::size_t N>
std::string_view TextField(const char (&field)[N]) {
  std::size_t length = 0;
  while (length < N && field[length] != '\0') ++length;
  return {field, length};
}

}  // namespace tray
