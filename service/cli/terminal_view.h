#pragma once
// The main window as a terminal shows it: captions and message boxes as
// lines on standard output, in UTF-8.

#include <ostream>
#include <string>
#include <vector>

#include "main_window_view.h"

class TTerminalView : public TMainWindowView {
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

  void ClearTitles() override { titles_.clear(); }
  void AddTitle(const std::string& title) override { titles_.push_back(title); }
  int TitleCount() const override { return static_cast<int>(titles_.size()); }
  std::string Title(int row) const override { return titles_.at(row); }
  void ClearLinks() override { links_.clear(); }
  void AddLink(const std::string& link) override { links_.push_back(link); }
  int LinkCount() const override { return static_cast<int>(links_.size()); }
  std::string Link(int row) const override { return links_.at(row); }

  // Each title row with its link: title TAB link.
  void PrintRows();

 private:
  std::ostream& out_;
  std::string searchText_;
  std::vector<std::string> titles_;
  std::vector<std::string> links_;
};
