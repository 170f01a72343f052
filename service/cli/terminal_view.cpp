#include "terminal_view.h"

#include <algorithm>

#include "message.h"

std::string ForTerminal(const std::string& text) {
  return TMessage().Network(text).Utf8();
}

void TTerminalView::SetCaption(const std::string& caption) {
  out_ << "[" << ForTerminal(caption) << "]\n" << std::flush;
}

void TTerminalView::ShowMessage(const std::string& text) {
  out_ << "> " << ForTerminal(text) << "\n" << std::flush;
}

void TTerminalView::PrintRows() {
  const size_t rows = std::min(Titles().size(), Links().size());
  for (size_t i = 0; i < rows; ++i) {
    out_ << ForTerminal(Titles()[i]) << '\t' << ForTerminal(Links()[i]) << '\n';
  }
}
