#pragma once
// Answers the next modal box once it is up, as a user would: notes what it
// shows, then presses a key in it. The wait is bounded: a box that never
// comes leaves Answered() false.

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

namespace testing_support {

class ModalAnswer {
 public:
  explicit ModalAnswer(Qt::Key key = Qt::Key_Return, int waitMs = 5000) {
    QObject::connect(&poll_, &QTimer::timeout, [this, key] { AnswerIfUp(key); });
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
  void AnswerIfUp(Qt::Key key) {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
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
    QTest::keyClick(box, key);
  }

  QTimer poll_;
  bool answered_ = false;
};

}  // namespace testing_support
