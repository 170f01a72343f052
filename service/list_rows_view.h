#pragma once
// A main window whose title list and link list are plain vectors: the
// front-ends without list controls of their own build on it.

#include <string>
#include <vector>

#include "main_window_view.h"

class TListRowsView : public TMainWindowView {
 public:
  void ClearTitles() override { titles_.clear(); }
  void AddTitle(const std::string& title) override { titles_.push_back(title); }
  int TitleCount() const override { return static_cast<int>(titles_.size()); }
  std::string Title(int row) const override { return titles_.at(row); }
  void ClearLinks() override { links_.clear(); }
  void AddLink(const std::string& link) override { links_.push_back(link); }
  int LinkCount() const override { return static_cast<int>(links_.size()); }
  std::string Link(int row) const override { return links_.at(row); }

  const std::vector<std::string>& Titles() const { return titles_; }
  const std::vector<std::string>& Links() const { return links_; }

 private:
  std::vector<std::string> titles_;
  std::vector<std::string> links_;
};
