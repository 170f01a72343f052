#pragma once
// TForm4, the about window: who made the program and where to write.

#include <QDialog>

class TOpenRequests;

class TForm4 : public QDialog {
 public:
  explicit TForm4(TOpenRequests& opener, QWidget* parent = nullptr);
};
