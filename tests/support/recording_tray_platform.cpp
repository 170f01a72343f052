#include "recording_tray_platform.h"

#include <algorithm>
#include <cstdio>

namespace testing_support {

using namespace tray;

namespace {

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint32_t LittleEndian16(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

}  // namespace

std::string IconFile(const std::vector<int>& sizes, uint32_t argb) {
  std::string directory;
  std::string images;
  const uint32_t firstImage = 6 + 16 * static_cast<uint32_t>(sizes.size());
  for (int size : sizes) {
    const uint32_t side = static_cast<uint32_t>(size);
    const uint32_t maskRow = (side + 31) / 32 * 4;
    std::string image;
    PutLittleEndian(image, 40, 4);  // BITMAPINFOHEADER
    PutLittleEndian(image, side, 4);
    PutLittleEndian(image, side * 2, 4);  // colour rows and mask rows
    PutLittleEndian(image, 1, 2);
    PutLittleEndian(image, 32, 2);
    PutLittleEndian(image, 0, 4);
    PutLittleEndian(image, side * side * 4 + maskRow * side, 4);
    image.append(16, '\0');  // resolution and palette counts
    for (uint32_t pixel = 0; pixel < side * side; ++pixel) PutLittleEndian(image, argb, 4);
    image.append(maskRow * side, '\0');

    directory.push_back(static_cast<char>(size >= 256 ? 0 : size));
    directory.push_back(static_cast<char>(size >= 256 ? 0 : size));
    PutLittleEndian(directory, 0, 2);  // no palette, reserved
    PutLittleEndian(directory, 1, 2);
    PutLittleEndian(directory, 32, 2);
    PutLittleEndian(directory, static_cast<uint32_t>(image.size()), 4);
    PutLittleEndian(directory, firstImage + static_cast<uint32_t>(images.size()), 4);
    images += image;
  }
  std::string file;
  PutLittleEndian(file, 0, 2);
  PutLittleEndian(file, 1, 2);
  PutLittleEndian(file, static_cast<uint32_t>(sizes.size()), 2);
  return file + directory + images;
}

RecordingTrayPlatform::RecordingTrayPlatform() {
  applicationWindow_ = CreateTopLevelWindow();
  visibleWindows_.insert(applicationWindow_);
}

bool RecordingTrayPlatform::HoldsIcon(HWND window, uint32_t id) const {
  return icons_.contains({window, id});
}

std::map<uintptr_t, uint32_t> RecordingTrayPlatform::Timers() const {
  std::map<uintptr_t, uint32_t> timers;
  for (const auto& [key, interval] : timers_) timers[key.second] = interval;
  return timers;
}

HWND RecordingTrayPlatform::NewWindow(TWindowProcedure procedure) {
  procedures_[++lastWindow_] = std::move(procedure);
  return lastWindow_;
}

HWND RecordingTrayPlatform::CreateTopLevelWindow() {
  return NewWindow([this](HWND window, uint32_t message, WPARAM, LPARAM) -> LRESULT {
    log.push_back("passed " + std::to_string(window) + " " + Hex(message));
    return 0;
  });
}

LRESULT RecordingTrayPlatform::SendMessage(HWND window, uint32_t message, WPARAM wParam,
                                           LPARAM lParam) {
  auto found = procedures_.find(window);
  if (found == procedures_.end()) return 0;
  TWindowProcedure procedure = found->second;  // the call may replace it
  return procedure(window, message, wParam, lParam);
}

void RecordingTrayPlatform::Notify(HWND iconWindow, uint32_t id, uint32_t notice) {
  PostMessageA(iconWindow, kTrayNotifyMessage, id, notice);
  ProcessMessages();
}

void RecordingTrayPlatform::FireTimer(uintptr_t id) {
  for (const auto& [key, interval] : timers_) {
    if (key.second == id) {
      SendMessage(key.first, WM_TIMER, id, 0);
      return;
    }
  }
}

void RecordingTrayPlatform::SendToApplicationWindow(uint32_t message, WPARAM wParam,
                                                    LPARAM lParam) {
  const auto hooks = hooks_;  // a hook may unhook
  for (const auto& [owner, hook] : hooks) {
    if (hook(message, wParam, lParam)) return;
  }
  SendMessage(applicationWindow_, message, wParam, lParam);
}

void RecordingTrayPlatform::RestartShell() {
  icons_.clear();
  if (auto restart = registeredMessages_.find("TaskbarCreated");
      restart != registeredMessages_.end()) {
    SendToApplicationWindow(restart->second, 0, 0);
  }
}

bool RecordingTrayPlatform::Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) {
  const std::pair<HWND, uint32_t> icon{data.hWnd, data.uID};
  bool accepted = false;
  switch (message) {
    case NIM_ADD:
      accepted = icons_.insert(icon).second;
      break;
    case NIM_DELETE:
      accepted = icons_.erase(icon) == 1;
      break;
    case NIM_MODIFY:
    case NIM_SETVERSION:
      accepted = icons_.contains(icon);
      break;
    default:
      break;
  }
  shellRequests.push_back({message, data, accepted});
  log.push_back("shell " + std::to_string(message));
  return accepted;
}

uint32_t RecordingTrayPlatform::RegisterWindowMessageA(const std::string& name) {
  auto [entry, added] = registeredMessages_.try_emplace(
      name, 0xC000 + static_cast<uint32_t>(registeredMessages_.size()));
  return entry->second;
}

HICON RecordingTrayPlatform::CreateIconHandle(const std::string& iconFile) {
  const bool readable = iconFile.size() >= 6 && LittleEndian16(iconFile, 0) == 0 &&
                        LittleEndian16(iconFile, 2) == 1 && LittleEndian16(iconFile, 4) > 0 &&
                        iconFile.size() >= 6 + 16 * LittleEndian16(iconFile, 4);
  if (!readable) return 0;
  liveIconHandles.insert(++lastIcon_);
  return lastIcon_;
}

void RecordingTrayPlatform::DestroyIconHandle(HICON icon) {
  liveIconHandles.erase(icon);
}

HWND RecordingTrayPlatform::AllocateHWnd(TWindowProcedure procedure) {
  const HWND window = NewWindow(std::move(procedure));
  log.push_back("allocate " + std::to_string(window));
  return window;
}

void RecordingTrayPlatform::DeallocateHWnd(HWND window) {
  procedures_.erase(window);
  std::erase_if(timers_, [window](const auto& timer) { return timer.first.first == window; });
  log.push_back("deallocate " + std::to_string(window));
}

bool RecordingTrayPlatform::PostMessageA(HWND window, uint32_t message, WPARAM wParam,
                                         LPARAM lParam) {
  const PostedMessage posted{window, message, wParam, lParam};
  posts.push_back(posted);
  queue_.push_back(posted);
  log.push_back("post " + std::to_string(window) + " " + Hex(message) + " " +
                std::to_string(wParam) + " " + std::to_string(lParam));
  return true;
}

void RecordingTrayPlatform::ProcessMessages() {
  log.push_back("process messages");
  std::vector<PostedMessage> pending;
  pending.swap(queue_);
  for (const PostedMessage& posted : pending) {
    SendMessage(posted.window, posted.message, posted.wParam, posted.lParam);
  }
}

bool RecordingTrayPlatform::SetTimer(HWND window, uintptr_t id, uint32_t interval) {
  if (refuseTimers || !procedures_.contains(window)) return false;
  timers_[{window, id}] = interval;
  return true;
}

bool RecordingTrayPlatform::KillTimer(HWND window, uintptr_t id) {
  return timers_.erase({window, id}) == 1;
}

bool RecordingTrayPlatform::GetCursorPos(TPoint& point) {
  if (!cursor) return false;
  point = *cursor;
  return true;
}

int16_t RecordingTrayPlatform::GetAsyncKeyState(int virtualKey) {
  return keysDown.contains(virtualKey) ? static_cast<int16_t>(0x8000) : 0;
}

bool RecordingTrayPlatform::SetForegroundWindow(HWND window) {
  log.push_back("foreground " + std::to_string(window));
  return true;
}

bool RecordingTrayPlatform::IsWindowVisible(HWND window) {
  return visibleWindows_.contains(window);
}

bool RecordingTrayPlatform::ShowWindow(HWND window, int command) {
  log.push_back("show window " + std::to_string(window) + " " + std::to_string(command));
  const bool wasVisible = visibleWindows_.contains(window);
  if (command == SW_HIDE) {
    visibleWindows_.erase(window);
  } else {
    visibleWindows_.insert(window);
  }
  return wasVisible;
}

TWindowProcedure RecordingTrayPlatform::SetWindowProcedure(HWND window,
                                                           TWindowProcedure procedure) {
  TWindowProcedure previous = std::move(procedures_[window]);
  procedures_[window] = std::move(procedure);
  return previous;
}

void RecordingTrayPlatform::HookMainWindow(const void* owner, TApplicationHook hook) {
  hooks_.emplace_back(owner, std::move(hook));
}

void RecordingTrayPlatform::UnhookMainWindow(const void* owner) {
  std::erase_if(hooks_, [owner](const auto& hook) { return hook.first == owner; });
}

void RecordingTrayPlatform::SetNormal(HWND form) {
  mainFormMinimized = false;
  log.push_back("normal " + std::to_string(form));
}

void RecordingTrayPlatform::SetFormVisible(HWND form, bool visible) {
  formVisible[form] = visible;
  log.push_back(std::string(visible ? "form visible " : "form hidden ") + std::to_string(form));
}

void RecordingTrayPlatform::PopupMenu(TPopupMenu& menu, TPoint at) {
  menusShown.push_back({&menu, at});
  log.push_back("popup " + std::to_string(at.X) + "," + std::to_string(at.Y));
  if (whileMenuShown) whileMenuShown(menu);
}

}  // namespace testing_support
