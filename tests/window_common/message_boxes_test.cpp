// The message box and the default error display, answered as a user would.
#include "message_boxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "cp1251.h"
#include "open_request.h"
#include "support/modal_answer.h"
#include "temp_folder.h"
#include "title_width.h"
#include "wayland_window_guard.h"

namespace {

using namespace testing_support;

// The program's box, the error display and a question.
const std::vector<std::function<void()>>& EveryKindOfBox() {
  static const std::vector<std::function<void()>> boxes = {
      [] {
        ShowMessage("\xD4\xE0\xE9\xEB \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED");
      },  // "Файл не найден"
      [] { RunGuarded([] { throw std::runtime_error("Not Connected"); }); },
      [] { MakeQuestion(nullptr, "\xC2\xFB\xE9\xF2\xE8?")->exec(); }};  // "Выйти?"
  return boxes;
}

TEST(ErrorDisplayText, APeriodFollowsLettersDigitsAndQuestionMarksOnly) {
  const struct {
    std::string message, shown;
  } cases[] = {
      {"Not Connected", "Not Connected."},
      {"Error 404", "Error 404."},
      {"Why?", "Why?."},
      {"\xCE\xF8\xE8\xE1\xEA\xE0", "\xCE\xF8\xE8\xE1\xEA\xE0."},  // Cyrillic
      {"Done.", "Done."},
      {"Stop!", "Stop!"},
      {"(see above)", "(see above)"},
      {"trailing ", "trailing "},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorDisplayText(TMessage(c.message)).Utf8(), Cp1251ToUtf8(c.shown)) << c.message;
}

TEST(MessageBox, PlainTextWithoutIconCentredWrappedAndDismissedByEnterOrEsc) {
  SetBoxCaption("Melodrop Downloader");
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    ModalAnswer answer(key);
    ShowMessage("<b>\xCF\xF0\xE8\xE2\xE5\xF2</b> & co");  // "<b>Привет</b> & co"
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(answer.caption, QStringLiteral("Melodrop Downloader"));
    EXPECT_EQ(answer.text, QString::fromUtf8("<b>Привет</b> & co"));
    EXPECT_EQ(answer.format, Qt::PlainText);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((answer.geometry.center() - screen.center()).manhattanLength(), 2);
  }
  std::string text;
  for (int i = 0; i < 200; ++i) text += "word ";
  ModalAnswer answer;
  ShowMessage(text);
  ASSERT_TRUE(answer.Answered());
  const int half = QGuiApplication::primaryScreen()->availableGeometry().width() / 2;
  EXPECT_GT(answer.geometry.width(), half / 2) << "a long text wraps at half the screen";
  EXPECT_LE(answer.geometry.width(), half + 60) << "the text and the box's margins";
}

// A short message under the program's long title: the title bar shows the
// whole caption, and the window manager offers no maximise.
TEST(MessageBoxes, WideEnoughForTheirCaptionAndOfFixedSize) {
  const std::string title = "Melodrop Downloader for the Melodrop music portal, by veltor2007";
  SetBoxCaption(title);
  for (const auto& show : EveryKindOfBox()) {
    bool fixed = false;
    int captionWidth = 0;
    ModalAnswer answer([&](QWidget* box) {
      fixed = box->minimumSize() == box->maximumSize();
      QFont bold = box->font();
      bold.setBold(true);
      captionWidth = QFontMetrics(bold).horizontalAdvance(box->windowTitle());
      QTest::keyClick(box, Qt::Key_Return);
    });
    show();
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(answer.caption.toStdString(), title);
    EXPECT_TRUE(fixed);
    EXPECT_GT(answer.geometry.width(), captionWidth + 60) << "the caption beside the buttons";
  }
  // A text wider than half the screen but narrower than the caption: the
  // width the caption gives the box anyway keeps it on one line.
  SetBoxCaption(title + " " + title);
  const int half = QGuiApplication::primaryScreen()->availableGeometry().width() / 2;
  std::string words;
  while (QFontMetrics(QApplication::font()).horizontalAdvance(QString::fromStdString(words)) <
         half + 40)
    words += "words ";
  bool oneLine = false;
  ModalAnswer answer([&](QWidget* box) {
    const auto* text = box->findChild<QLabel*>(QStringLiteral("Text"));
    oneLine = text->height() < 2 * text->fontMetrics().height();
    QTest::keyClick(box, Qt::Key_Return);
  });
  ShowMessage(words);
  ASSERT_TRUE(answer.Answered());
  EXPECT_TRUE(oneLine);
  SetBoxCaption("Melodrop Downloader");
  // A box of a caption of its own (the save dialog's question) as well.
  QMessageBox own(QMessageBox::Warning, QString::fromStdString(title), QStringLiteral("a.mp3"),
                  QMessageBox::Yes | QMessageBox::No);
  WidenForCaption(own);
  EXPECT_GE(own.sizeHint().width(), WidthForTitle(own.windowTitle(), own.font()));
}

// On a Wayland desktop every box can be maximised, also once it has laid
// itself out again (Qt's boxes then fix their size anew), and keeps its
// text and buttons together in the middle, not at an edge each.
TEST(MessageBoxes, OnWaylandEveryBoxGrowsWithItsContentsInTheMiddle) {
  const std::unique_ptr<QObject> guard(TWaylandWindowGuard::Install(*qApp));
  for (const auto& show : EveryKindOfBox()) {
    bool free = false;
    QRect box, content;
    ModalAnswer answer([&](QWidget* shown) {
      QCoreApplication::postEvent(shown, new QEvent(QEvent::LayoutRequest));
      QCoreApplication::sendPostedEvents(shown, QEvent::LayoutRequest);
      free = QTest::qWaitFor([&] { return shown->maximumWidth() == QWIDGETSIZE_MAX; }, 5000);
      shown->resize(shown->size() * 3);
      QApplication::sendPostedEvents();
      box = shown->rect();
      for (const QWidget* control : shown->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->isVisible()) content |= control->geometry();
      QTest::keyClick(shown, Qt::Key_Return);
    });
    show();
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(free);
    EXPECT_LE((content.center() - box.center()).manhattanLength(), 4);
    EXPECT_LT(content.width(), box.width() / 2);
  }
}

TEST(DefaultErrorDisplay, ErrorIconMessageWithPeriodAndTheProgramGoesOn) {
  // With no window active, the box belongs to the program's main window.
  QWidget owner;
  SetBoxOwner(&owner);
  QWidget* parent = nullptr;
  ModalAnswer answer([&](QWidget* box) {
    parent = box->parentWidget();
    QTest::keyClick(box, Qt::Key_Escape);
  });
  bool after = false;
  RunGuarded([] { throw std::runtime_error("'<i>x</i>' is not a valid integer value"); });
  after = true;
  ASSERT_TRUE(answer.Answered());
  EXPECT_TRUE(after);
  EXPECT_EQ(answer.icon, QMessageBox::Critical);
  EXPECT_EQ(answer.text, QStringLiteral("'<i>x</i>' is not a valid integer value."));
  EXPECT_EQ(answer.format, Qt::PlainText);
  EXPECT_EQ(parent, &owner);
}

// "Воспроизвести" or "Открыть папку" with no program to take the file, or
// for a file that is gone: a box says which, naming the file as the system
// has it.
TEST(OpenRequests, ARequestNoProgramTakesOrForAFileGoneIsShownInABox) {
  TempFolder folder;
  const std::string xdgOpen = folder.File("xdg-open");
  WriteBytes(xdgOpen, "#!/bin/sh\nexit 3\n");
  chmod(xdgOpen.c_str(), 0755);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString(folder.File("")) + ":" + path);
  WriteBytes(folder.File("песня.mp3"), "ID3");
  using Case = std::pair<std::string, std::string>;
  for (const auto& [name, why] : {Case{"песня.mp3", ": нет программы, которая его открывает."},
                                  Case{"удалена.mp3", std::string(". ") + std::strerror(ENOENT)}}) {
    ModalAnswer answer(Qt::Key_Return, 10000);
    TDesktopOpenRequests().Open(folder.File(name));
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer.Answered(); }, 10000));
    EXPECT_EQ(answer.text.toStdString(), "Не удалось открыть \"" + folder.File(name) + "\"" + why);
  }
  qputenv("PATH", path);
}

}  // namespace
