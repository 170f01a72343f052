// Draws the main window after a search into a PNG, for the README. It runs
// the real window against a running portal and answers its boxes itself.
// Usage: melodrop-screenshot PORT PHRASE ROW OUTPUT.png
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <fstream>

#include "program.h"
#include "window_font.h"

namespace {

// Presses Enter in every box that comes up, as a reader of them would.
void AnswerBoxes() {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->accept();
  });
  poll->start(20);
}

// The window as the desktop frames it: a title bar over the grabbed window.
QPixmap Framed(QWidget& window) {
  const QPixmap inside = window.grab();
  const int bar = 24;
  QPixmap framed(inside.width() + 2, inside.height() + bar + 1);
  framed.fill(QColor(0x3A, 0x3F, 0x4B));
  QPainter painter(&framed);
  painter.setPen(Qt::white);
  painter.setFont(WindowFont(13));
  painter.drawPixmap(1, bar, inside);
  painter.drawText(QRect(8, 0, framed.width() - 16, bar), Qt::AlignVCenter, window.windowTitle());
  return framed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: melodrop-screenshot PORT PHRASE ROW OUTPUT.png\n");
    return 2;
  }
  QApplication application(argc, argv);
  SetUpApplication();
  QTemporaryDir folder;
  const std::string settingsPath = folder.filePath(QStringLiteral("Settings.cfg")).toStdString();
  std::ofstream(settingsPath) << "[MAIN]\r\nPort=" << argv[1] << "\r\n";

  AnswerBoxes();
  TProgram program(settingsPath);
  TForm1& form1 = program.MainWindow();

  auto* search = form1.findChild<QLineEdit*>(QStringLiteral("Edit3"));
  search->setText(QString::fromLocal8Bit(argv[2]));
  emit search->returnPressed();
  auto* titles = form1.findChild<QListView*>(QStringLiteral("ListBox1"));
  titles->setFocus();
  titles->setCurrentIndex(titles->model()->index(std::atoi(argv[3]), 0));
  QCoreApplication::processEvents();
  if (!Framed(form1).save(QString::fromLocal8Bit(argv[4]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[4]);
    return 1;
  }
  return 0;
}
