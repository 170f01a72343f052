#pragma once
// Answers the next modal box once it is up, as a user would: notes what it
// shows, then presses a key in it or hands it to the test's own answer. The
// wait is bounded: a box that never comes leaves Answered() false.

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

namespace testing_support {

class ModalAnswer {
 public:
  using Answer = std::function<void(QWidget* box)>;

  // Answers a message box or an error display, not other dialogs.
  explicit ModalAnswer(Qt::Key key = Qt::Key_Return, int waitMs = 5000)
      : ModalAnswer([key](QWidget* box) { QTest::keyClick(box, key); }, waitMs, IsMessageBox) {}

  explicit ModalAnswer(
      Answer answer, int waitMs = 5000,
      std::function<bool(QWidget*)> answers = [](QWidget*) { return true; }) {
    QObject::connect(&poll_, &QTimer::timeout, [this, answer, answers] {
      QWidget* box = QApplication::activeModalWidget();
      if (box != nullptr && answers(box)) Take(box, answer);
    });
    poll_.start(5);
    QTimer::singleShot(waitMs, &poll_, &QTimer::stop);
  }

  bool Answered() const { return answered_; }

  QString caption;
  QString text;
  Qt::TextFormat format = Qt::AutoText;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QRect geometry;

 private:
  static bool IsMessageBox(QWidget* box) {
    return qobject_cast<QMessageBox*>(box) != nullptr ||
           box->objectName() == QLatin1String("MessageBox");
  }

  void Take(QWidget* box, const Answer& answer) {
    poll_.stop();
    caption = box->windowTitle();
    geometry = box->geometry();
    if (auto* message = qobject_cast<QMessageBox*>(box)) {
      text = message->text();
      format = message->textFormat();
      icon = message->icon();
    } else if (auto* label = box->findChild<QLabel*>(QStringLiteral("Text"))) {
      text = label->text();
      format = label->textFormat();
    }
    answered_ = true;
    answer(box);
  }

  QTimer poll_;
  bool answered_ = false;
};

}  // namespace testing_support
