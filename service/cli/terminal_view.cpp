#include "terminal_view.h"

#include <algorithm>

#include "cp1251.h"

void TTerminalView::SetCaption(const std::string& caption) {
  out_ << "[" << Cp1251ToUtf8(caption) << "]\n" << std::flush;
}

void TTerminalView::ShowMessage(const std::string& text) {
  out_ << "> " << Cp1251ToUtf8(text) << "\n" << std::flush;
}

void TTerminalView::PrintRows() {
  const size_t rows = std::min(Titles().size(), Links().size());
  for (size_t i = 0; i < rows; ++i) {
    out_ << Cp1251ToUtf8(Titles()[i]) << '\t' << Cp1251ToUtf8(Links()[i]) << '\n';
  }
}
