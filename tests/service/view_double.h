#pragma once
// The main window as the service tests see it: every effect recorded in
// order, in UTF-8, with the two lists.

#include <functional>
#include <string>
#include <vector>

#include "cp1251.h"
#include "list_rows_view.h"

namespace testing_support {

class ViewDouble : public TListRowsView {
 public:
  std::vector<std::string> effects;
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

 private:
  void Enable(const std::string& control, bool on) {
    effects.push_back(control + (on ? " on" : " off"));
  }
};

}  // namespace testing_support
