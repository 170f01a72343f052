#pragma once
// The main window as the service tests see it: every effect recorded in
// order, in UTF-8, with the two lists.

#include <functional>
#include <string>
#include <vector>

#include "cp1251.h"
#include "main_window_view.h"

namespace testing_support {

class ViewDouble : public TMainWindowView {
 public:
  std::vector<std::string> effects;
  std::vector<std::string> titles;  // Windows-1251
  std::vector<std::string> links;
  std::string searchText;  // Windows-1251
  std::string foundName;
  std::string linkText;
  // Runs inside ProcessMessages, as a command the user gives during a request.
  std::function<void()> pendingCommand;

  void SetCaption(const std::string& caption) override {
    effects.push_back("caption " + Cp1251ToUtf8(caption));
  }
  void ShowWindow() override { effects.push_back("show"); }
  void ShowMessage(const std::string& text) override {
    effects.push_back("message " + Cp1251ToUtf8(text));
  }
  void ProcessMessages() override {
    if (pendingCommand) std::exchange(pendingCommand, nullptr)();
  }
  std::string SearchText() const override { return searchText; }
  void SetSearchBoxEnabled(bool on) override { Enable("search box", on); }
  void SetSearchButtonEnabled(bool on) override { Enable("search button", on); }
  void SetLinkFieldEnabled(bool on) override { Enable("link field", on); }
  void SetLinkText(const std::string& link) override { linkText = link; }
  void SetFoundName(const std::string& title) override { foundName = title; }
  void SetTitleListEnabled(bool on) override { Enable("title list", on); }
  void SetDownloadButtonsEnabled(bool on) override { Enable("download buttons", on); }
  void ClearTitles() override { titles.clear(); }
  void AddTitle(const std::string& title) override { titles.push_back(title); }
  int TitleCount() const override { return static_cast<int>(titles.size()); }
  std::string Title(int row) const override { return titles.at(row); }
  void ClearLinks() override { links.clear(); }
  void AddLink(const std::string& link) override { links.push_back(link); }
  int LinkCount() const override { return static_cast<int>(links.size()); }
  std::string Link(int row) const override { return links.at(row); }

 private:
  void Enable(const std::string& control, bool on) {
    effects.push_back(control + (on ? " on" : " off"));
  }
};

}  // namespace testing_support
