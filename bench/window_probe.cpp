// Runs Melodrop Downloader's windows for the benchmarks and reports what
// the benchmark measures from inside:
//   window_probe startup SETTINGS       the time of the first paint of the
//                                       start-up notice, then exits
//   window_probe search PORT PHRASE     logs in, searches, closes
//   window_probe download PORT PHRASE FILE
//                                       also downloads the first track into
//                                       FILE; prints the longest gap between
//                                       two turns of the event loop meanwhile
// Boxes and the save dialog are answered at once.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "program.h"

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Prints the time of the first paint of the start-up notice and ends.
class FirstNoticePaint : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("MessageBox")) {
      std::printf("%.6f\n", Now());
      std::fflush(stdout);
      _exit(0);
    }
    return false;
  }
};

// When the search's closing message came up.
double searchMessageAt = 0;

// Answers every box, and the save dialog with `file`.
void AnswerDialogs(const QString& file) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [file] {
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (searchMessageAt == 0 && box->objectName() == QLatin1String("MessageBox"))
      searchMessageAt = Now();
    // Typed into the name field: Qt's dialog ignores a file selected while
    // that field has the focus.
    if (auto* save = qobject_cast<QFileDialog*>(box))
      save->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
    QMetaObject::invokeMethod(box, "accept");
  });
  poll->start(1);
}

// The longest time between two turns of the event loop while a request runs.
class LoopGaps : public QObject {
 public:
  explicit LoopGaps(TForm1& window) : window_(window) {
    connect(&tick_, &QTimer::timeout, this, [this] { Turn(); });
    tick_.start(0);
    clock_.start();
  }
  double LongestMs() const { return longest_ / 1e6; }

 private:
  void Turn() {
    const qint64 now = clock_.nsecsElapsed();
    if (window_.RequestRunning() && last_ > 0) longest_ = std::max(longest_, now - last_);
    last_ = window_.RequestRunning() ? now : 0;
  }
  TForm1& window_;
  QTimer tick_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 longest_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (!((mode == "startup" && argc == 3) || (mode == "search" && argc == 4) ||
        (mode == "download" && argc == 5))) {
    std::fprintf(stderr,
                 "usage: window_probe startup SETTINGS | search PORT PHRASE | "
                 "download PORT PHRASE FILE\n");
    return 2;
  }
  QApplication application(argc, argv);
  SetUpApplication();
  if (mode == "startup") {
    FirstNoticePaint notice;
    application.installEventFilter(&notice);
    TProgram program(argv[2]);
    return 1;
  }
  QTemporaryDir folder;
  const std::string settings = folder.filePath(QStringLiteral("Settings.cfg")).toStdString();
  std::ofstream(settings) << "[MAIN]\r\nPort=" << argv[2] << "\r\n";
  AnswerDialogs(mode == "download" ? QString::fromLocal8Bit(argv[4]) : QString());
  TProgram program(settings);
  TForm1& window = program.MainWindow();
  auto* search = window.findChild<QLineEdit*>(QStringLiteral("Edit3"));
  search->setText(QString::fromLocal8Bit(argv[3]));
  searchMessageAt = 0;
  const double searchStart = Now();
  emit search->returnPressed();
  // The search is over when it shows its closing message.
  std::printf("search %.4f s\n", searchMessageAt - searchStart);
  if (mode == "download") {
    auto* titles = window.findChild<QListView*>(QStringLiteral("ListBox1"));
    titles->setCurrentIndex(titles->model()->index(0, 0));
    LoopGaps gaps(window);
    window.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    std::printf("longest event loop gap %.1f ms\n", gaps.LongestMs());
  }
  window.close();
  return 0;
}
