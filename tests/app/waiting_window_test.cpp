// The window while the network keeps it waiting: a name nobody resolves, a
// portal that takes no connection, one that never answers, one that trickles. The window runs
// its messages all along; a stop or a close ends the request quietly.
#include <QProgressBar>
#include <chrono>
#include <filesystem>
#include <thread>

#include "main_window_fixture.h"
#include "net_stack.h"
#include "support/loopback_server.h"
#include "support/raw_sockets.h"

namespace {

using namespace app_testing;

class WaitingWindowTest : public MainWindowTest {
 protected:
  // Downloads from the URL into a file of the test; `during` runs once
  // `ready` holds while the request runs.
  void DownloadFrom(const std::string& host, int port, const std::function<bool()>& ready,
                    const std::function<void()>& during) {
    Find<QLineEdit>("Edit4")->setText(
        QStringLiteral("http://%1:%2/t.mp3").arg(QString::fromStdString(host)).arg(port));
    auto* poll = new QTimer(window.get());
    QObject::connect(poll, &QTimer::timeout, [this, poll, ready, during] {
      if (!window->RequestRunning() || !ready()) return;
      poll->stop();
      during();
    });
    poll->start(1);
    ASSERT_TRUE(Download(target));
    delete poll;
  }

  QProgressBar* Bar() { return Find<QProgressBar>("ProgressBar1"); }

  std::string target = folder.File("waited");
};

TEST_F(WaitingWindowTest, AStopOrACloseEndsEveryWaitQuietly) {
  // A resolver that never answers (each lookup sleeps on a thread of its own).
  TNetStack::SetNameLookup([](const std::string&, std::string&) {
    std::this_thread::sleep_for(std::chrono::hours(24));
    return 11001;
  });
  FullListener neverAccepts;
  LoopbackServer neverAnswers(Script().StaySilent());
  LoopbackServer trickles(Script()
                              .ReadHead()
                              .Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n")
                              .SendInPieces(std::string(100000, 'x'), 1000, Milliseconds(100)));
  const auto always = [] { return true; };
  // The bar shows bytes before the first block of 32 KiB is complete.
  const auto barMoves = [this] { return Bar()->value() > 0 && Bar()->value() < 32768; };
  struct Case {
    const char* wait;
    std::string host;
    int port;
    std::function<bool()> ready;
  };
  const std::vector<Case> cases = {{"name lookup", "never.answers.test", 80, always},
                                   {"connect", "127.0.0.1", neverAccepts.Port(), always},
                                   {"silence", "127.0.0.1", neverAnswers.Port(), always},
                                   {"trickle", "127.0.0.1", trickles.Port(), barMoves}};
  for (const bool close : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.wait) + (close ? ", close" : ", stop"));
      Start();
      Search(Utf8("дорога"));
      ClickTitle(0);
      const QString captionBefore = Caption();
      ModalAnswer anyBox(Qt::Key_Return, 1000);
      closes = 0;
      DownloadFrom(c.host, c.port, c.ready, [&] {
        if (close) {
          window->close();
          // The question a close during a download asks, answered "Да".
          auto* question = window->findChild<QMessageBox*>(QStringLiteral("Question"));
          ASSERT_NE(question, nullptr);
          question->button(QMessageBox::Yes)->click();
        } else {
          Item("N3")->trigger();
        }
      });
      EXPECT_FALSE(window->RequestRunning());
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")),
                              std::filesystem::directory_iterator()),
                1)
          << "Settings.cfg alone: no track, no temporary file";
      EXPECT_TRUE(files->Paths().empty());
      if (close) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return closes == 1; }, kWaitMs));
        EXPECT_EQ(Requests().back(), "GET /cgi-bin/logout");
      } else {
        EXPECT_EQ(Caption(), captionBefore);
        EXPECT_TRUE(Find<QPushButton>("Button1")->isEnabled());
      }
      EXPECT_FALSE(anyBox.Answered());
      window.reset();
    }
  }
  TNetStack::SetNameLookup(nullptr);
}

// A track over 2 GiB still moves the bar: its bytes count in larger steps.
TEST_F(WaitingWindowTest, TheBarMovesForATrackOver2GiB) {
  Start();
  TNetHTTP& http = window->Http();
  http.OnWorkBegin(&http, TWorkMode::wmRead, 3000000000);
  http.OnWork(&http, TWorkMode::wmRead, 1500000000);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return Bar()->value() > 0 && Bar()->value() * 2 == Bar()->maximum(); }, kWaitMs));
  http.OnWorkEnd(&http, TWorkMode::wmRead);
}

}  // namespace
