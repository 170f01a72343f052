// Runs Melodrop Downloader's windows for the benchmarks and reports what
// the benchmark measures from inside:
//   window_probe startup SETTINGS       the time of the first paint of the
//                                       start-up notice, then exits
//   window_probe search PORT PHRASE     logs in, searches, closes
//   window_probe download PORT PHRASE FILE [--without-idle-hook]
//                                       also downloads the first track into
//                                       FILE; prints its time (from the
//                                       save dialog's answer) and the
//                                       longest gap between
//                                       two turns of the event loop meanwhile
//                                       (without the client's idle hook: the
//                                       window runs its messages only in the
//                                       work events)
//   window_probe queue PORT PHRASE FOLDER SECOND
//                                       picks every title PHRASE finds,
//                                       queues them into FOLDER, searches
//                                       SECOND meanwhile; prints the queue's
//                                       time, the longest gap between two
//                                       turns of the event loop throughout,
//                                       and the memory at the 10th and the
//                                       last track and at its peak
//   window_probe wait PORT connect|silence|trickle stop|close|none
//                                       downloads from a server of its own
//                                       that takes no connection, never
//                                       answers, or trickles 1 KB per 100 ms;
//                                       stops or closes after a while (none:
//                                       waits for the end); prints the
//                                       longest gap and when the request ended
// Boxes and the save dialog are answered at once.
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "file_list_window.h"
#include "program.h"
#include "support/loopback_server.h"
#include "support/raw_sockets.h"

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

// When the search's closing message came up, and the last box's text.
double searchMessageAt = 0;
QString lastBoxText;
// When the save dialog was answered: the download starts.
double savedAt = 0;

// Answers every box, and the save dialog with `file`.
void AnswerDialogs(const QString& file) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [file] {
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (searchMessageAt == 0 && box->objectName() == QLatin1String("MessageBox"))
      searchMessageAt = Now();
    if (auto* message = qobject_cast<QMessageBox*>(box)) {
      lastBoxText = message->text();
    } else if (auto* text = box->findChild<QLabel*>(QStringLiteral("Text"))) {
      lastBoxText = text->text();
    }
    // Typed into the name field: Qt's dialog ignores a file selected while
    // that field has the focus.
    if (auto* save = qobject_cast<QFileDialog*>(box)) {
      save->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
      savedAt = Now();
    }
    QMetaObject::invokeMethod(box, "accept");
  });
  poll->start(1);
}

// The longest time between two turns of the event loop while a request runs.
class LoopGaps : public QObject {
 public:
  // always: every turn counts, not only those while a request runs.
  explicit LoopGaps(TForm1& window, bool always = false) : window_(window), always_(always) {
    connect(&tick_, &QTimer::timeout, this, [this] { Turn(); });
    tick_.start(0);
    clock_.start();
  }
  double LongestMs() const { return longest_ / 1e6; }

 private:
  void Turn() {
    const qint64 now = clock_.nsecsElapsed();
    const bool counted = always_ || window_.RequestRunning();
    if (counted && last_ > 0) longest_ = std::max(longest_, now - last_);
    last_ = counted ? now : 0;
  }
  TForm1& window_;
  bool always_;
  QTimer tick_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 longest_ = 0;
};

// A server that keeps the window waiting, on 127.0.0.1.
struct WaitingServer {
  explicit WaitingServer(const std::string& kind) {
    using namespace testing_support;
    if (kind == "connect") {
      neverAccepts = std::make_unique<FullListener>();
      port = neverAccepts->Port();
      return;
    }
    Script script = Script().ReadHead();
    if (kind == "silence") {
      script.StaySilent(std::chrono::seconds(60));
    } else {
      script.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n")
          .SendInPieces(std::string(100000, 'x'), 1000, std::chrono::milliseconds(100));
    }
    server = std::make_unique<LoopbackServer>(script);
    port = server->Port();
  }
  std::unique_ptr<testing_support::FullListener> neverAccepts;
  std::unique_ptr<testing_support::LoopbackServer> server;
  int port = 0;
};

// Downloads from the waiting server; stops or closes after a while.
void Wait(TForm1& window, const std::string& kind, const std::string& action) {
  WaitingServer waiting(kind);
  window.findChild<QLineEdit*>(QStringLiteral("Edit4"))
      ->setText(QStringLiteral("http://127.0.0.1:%1/t.mp3").arg(waiting.port));
  double actedAt = 0;
  if (action != "none") {
    QTimer::singleShot(kind == "trickle" ? 2000 : 1000, &window, [&] {
      actedAt = Now();
      if (action == "close") {
        window.close();
        // The question a close during a download asks, answered "Да".
        if (auto* question = window.findChild<QMessageBox*>(QStringLiteral("Question")))
          question->button(QMessageBox::Yes)->click();
      } else {
        window.findChild<QAction*>(QStringLiteral("N3"))->trigger();
      }
    });
  }
  LoopGaps gaps(window);
  const double start = Now();
  window.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
  const double end = Now();
  std::printf("longest event loop gap %.1f ms\n", gaps.LongestMs());
  if (actedAt > 0) {
    std::printf("ended %.1f ms after the %s\n", (end - actedAt) * 1000, action.c_str());
  } else {
    std::printf("ended after %.2f s: %s\n", end - start,
                lastBoxText.simplified().toUtf8().constData());
  }
}

// A line of /proc/self/status in MiB ("VmRSS", "VmHWM").
double MemoryMiB(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024;
  return 0;
}

// Queues every title found into the folder (the folder dialog answered by
// AnswerDialogs), searches again meanwhile, and waits for the queue.
void Queue(TProgram& program, const QString& second) {
  TForm1& window = program.MainWindow();
  window.findChild<QListView*>(QStringLiteral("ListBox1"))->selectAll();
  LoopGaps gaps(window, true);
  const double start = Now();
  window.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
  auto* search = window.findChild<QLineEdit*>(QStringLiteral("Edit3"));
  search->setText(second);
  emit search->returnPressed();
  std::printf("second search ended %.2f s after the queue began\n", Now() - start);
  double atTenth = 0;
  std::size_t saved = 0;
  const std::size_t count = program.FileList().Paths().size();
  while (saved < count) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const std::vector<std::string> paths = program.FileList().Paths();
    saved = static_cast<std::size_t>(
        std::count_if(paths.begin(), paths.end(), [](const std::string& p) { return !p.empty(); }));
    if (saved >= 10 && atTenth == 0) atTenth = MemoryMiB("VmRSS");
  }
  std::printf("queue of %zu tracks %.3f s\n", count, Now() - start);
  std::printf("longest event loop gap %.1f ms\n", gaps.LongestMs());
  std::printf("memory at the 10th track %.1f MiB, at the last %.1f MiB, peak %.1f MiB\n", atTenth,
              MemoryMiB("VmRSS"), MemoryMiB("VmHWM"));
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (!((mode == "startup" && argc == 3) || (mode == "search" && argc == 4) ||
        (mode == "download" && (argc == 5 || argc == 6)) || (mode == "wait" && argc == 5) ||
        (mode == "queue" && argc == 6))) {
    std::fprintf(stderr,
                 "usage: window_probe startup SETTINGS | search PORT PHRASE | "
                 "download PORT PHRASE FILE [--without-idle-hook] | "
                 "queue PORT PHRASE FOLDER SECOND | "
                 "wait PORT connect|silence|trickle stop|close|none\n");
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
  const QString saveAs = mode == "download" || mode == "queue"
                             ? QString::fromLocal8Bit(argv[4])
                             : folder.filePath(QStringLiteral("waited"));
  AnswerDialogs(saveAs);
  TProgram program(settings);
  TForm1& window = program.MainWindow();
  auto* search = window.findChild<QLineEdit*>(QStringLiteral("Edit3"));
  search->setText(QString::fromLocal8Bit(mode == "wait" ? "" : argv[3]));
  searchMessageAt = 0;
  const double searchStart = Now();
  emit search->returnPressed();
  // The search is over when it shows its closing message.
  std::printf("search %.4f s\n", searchMessageAt - searchStart);
  if (mode == "queue") {
    Queue(program, QString::fromLocal8Bit(argv[5]));
    window.close();
    return 0;
  }
  auto* titles = window.findChild<QListView*>(QStringLiteral("ListBox1"));
  titles->setCurrentIndex(titles->model()->index(0, 0));
  if (mode == "wait") {
    Wait(window, argv[3], argv[4]);
    return 0;
  }
  if (mode == "download") {
    if (argc == 6) window.Http().OnIdle = nullptr;
    LoopGaps gaps(window);
    window.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    std::printf("download %.4f s\n", Now() - savedAt);
    std::printf("longest event loop gap %.1f ms\n", gaps.LongestMs());
  }
  window.close();
  return 0;
}
