#pragma once
// What the service drives of the main window. The Qt window, the terminal
// front-end and the tests each implement it. All texts are Windows-1251.

#include <string>

class TMainWindowView {
 public:
  virtual ~TMainWindowView() = default;

  virtual void SetCaption(const std::string& caption) = 0;
  virtual void ShowWindow() = 0;
  // Modal: returns when the user has dismissed it.
  virtual void ShowMessage(const std::string& text) = 0;
  // Lets pending window messages run (commands may run inside).
  virtual void ProcessMessages() = 0;

  virtual std::string SearchText() const = 0;             // the search box, Edit3
  virtual void SetSearchBoxEnabled(bool enabled) = 0;     // Edit3
  virtual void SetSearchButtonEnabled(bool enabled) = 0;  // "Поиск", Button1
  virtual void SetLinkFieldEnabled(bool enabled) = 0;     // Edit4
  virtual void SetLinkText(const std::string& link) = 0;
  virtual void SetFoundName(const std::string& title) = 0;  // Label5
  virtual void SetTitleListEnabled(bool enabled) = 0;       // ListBox1
  // "Скачать" and the listen button.
  virtual void SetDownloadButtonsEnabled(bool enabled) = 0;

  // The title list (ListBox1) and the hidden link list (ListBox2): link row i
  // belongs to title row i.
  virtual void ClearTitles() = 0;
  virtual void AddTitle(const std::string& title) = 0;
  virtual int TitleCount() const = 0;
  virtual std::string Title(int row) const = 0;
  virtual void ClearLinks() = 0;
  virtual void AddLink(const std::string& link) = 0;
  virtual int LinkCount() const = 0;
  virtual std::string Link(int row) const = 0;
};
