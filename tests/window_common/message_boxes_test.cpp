// The message box and the default error display, answered as a user would.
#include "message_boxes.h"

#include <QGuiApplication>
#include <QScreen>
#include <stdexcept>

#include <gtest/gtest.h>

#include "support/modal_answer.h"

namespace {

using testing_support::ModalAnswer;

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
  for (const auto& c : cases) EXPECT_EQ(ErrorDisplayText(c.message), c.shown) << c.message;
}

TEST(MessageBox, PlainTextWithoutIconCentredAndDismissedByEnterOrEsc) {
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
}

TEST(MessageBox, LongTextWrapsAtHalfTheScreen) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "word ";
  ModalAnswer answer;
  ShowMessage(text);
  ASSERT_TRUE(answer.Answered());
  const int half = QGuiApplication::primaryScreen()->availableGeometry().width() / 2;
  EXPECT_GT(answer.geometry.width(), half / 2);
  EXPECT_LE(answer.geometry.width(), half + 60) << "the text and the box's margins";
}

TEST(DefaultErrorDisplay, ErrorIconMessageWithPeriodAndTheProgramGoesOn) {
  ModalAnswer answer(Qt::Key_Escape);
  bool after = false;
  RunGuarded([] { throw std::runtime_error("'<i>x</i>' is not a valid integer value"); });
  after = true;
  ASSERT_TRUE(answer.Answered());
  EXPECT_TRUE(after);
  EXPECT_EQ(answer.icon, QMessageBox::Critical);
  EXPECT_EQ(answer.text, QStringLiteral("'<i>x</i>' is not a valid integer value."));
  EXPECT_EQ(answer.format, Qt::PlainText);
}

}  // namespace
