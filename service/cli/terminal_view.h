#pragma once
// The main window as a terminal shows it: captions and message boxes as
// lines on standard output, in UTF-8, control characters escaped.

#include <ostream>
#include <string>

#include "list_rows_view.h"

// Windows-1251 text as a terminal line: UTF-8, control characters as
// visible escapes, so no title can move the cursor, retitle or clear the
// terminal, or split a row.
std::string ForTerminal(const std::string& text);

class TTerminalView : public TListRowsView {
 public:
  TTerminalView(std::ostream& out, std::string searchText)
      : out_(out), searchText_(std::move(searchText)) {}

  void SetCaption(const std::string& caption) override;
  void ShowWindow() override {}
  void ShowMessage(const std::string& text) override;
  void ProcessMessages() override {}

  std::string SearchText() const override { return searchText_; }
  void SetSearchBoxEnabled(bool) override {}
  void SetSearchButtonEnabled(bool) override {}
  void SetLinkFieldEnabled(bool) override {}
  void SetLinkText(const std::string&) override {}
  void SetFoundName(const std::string&) override {}
  void SetTitleListEnabled(bool) override {}
  void SetDownloadButtonsEnabled(bool) override {}

  // Each title row with its link: title TAB link.
  void PrintRows();

 private:
  std::ostream& out_;
  std::string searchText_;
};
