#include "message_boxes.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "error_words.h"
#include "qt_text.h"
#include "title_width.h"

namespace {

// The widest line of the text, so that short texts stay on one line and
// long ones wrap at half the screen.
int TextWidth(const QLabel& label, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(QLatin1Char('\n')))
    widest = std::max(widest, label.fontMetrics().horizontalAdvance(line));
  return widest + 1;
}

QRect ScreenArea() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QPointer<QWidget>& BoxOwner() {
  static QPointer<QWidget> owner;
  return owner;
}

// The dialog a box answers, else the window the user works in, else the
// program's main window: a box with no parent stands detached on Wayland.
QWidget* BoxParent() {
  if (QWidget* dialog = QApplication::activeModalWidget()) return dialog;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return BoxOwner();
}

QString& BoxCaption() {
  static QString caption;
  return caption;
}

int CaptionWidth(const QWidget& box) {
  return WidthForTitle(BoxCaption(), box.font());
}

}  // namespace

// A message box sizes itself; a spacer across its grid keeps it wide enough
// for the caption.
void WidenForCaption(QMessageBox& box) {
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(
        new QSpacerItem(WidthForTitle(box.windowTitle(), box.font()), 0, QSizePolicy::Minimum),
        grid->rowCount(), 0, 1, grid->columnCount());
  }
}

void SetBoxOwner(QWidget* mainWindow) {
  BoxOwner() = mainWindow;
}

void SetBoxCaption(const std::string& caption) {
  BoxCaption() = QStringFromCp1251(caption);
}

void ShowMessage(const std::string& text) {
  ShowMessage(TMessage(text));
}

void ShowMessage(const TMessage& text) {
  QDialog box(BoxParent());
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setWindowTitle(BoxCaption());
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowCloseButtonHint);
  box.setWindowModality(Qt::ApplicationModal);

  const QString shown = QStringFromMessage(text);
  auto* label = new QLabel(&box);
  label->setObjectName(QStringLiteral("Text"));
  label->setTextFormat(Qt::PlainText);
  label->setText(shown);
  label->setWordWrap(true);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setText(QStringLiteral("OK"));
  ok->setDefault(true);
  // Esc closes a dialog as rejected; both ways the box is only dismissed.
  QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);

  auto* layout = new QVBoxLayout(&box);
  // A text wraps at half the screen, or at the width a long caption gives
  // the box anyway: a narrow screen (or a large scale) would leave the
  // caption's width empty beside a wrapped text.
  int left = 0;
  int right = 0;
  layout->getContentsMargins(&left, nullptr, &right, nullptr);
  const int wrapWidth = std::max(ScreenArea().width() / 2, CaptionWidth(box) - left - right);
  label->setFixedWidth(std::min(TextWidth(*label, shown), wrapWidth));
  layout->addWidget(label);
  layout->addWidget(buttons, 0, Qt::AlignHCenter);
  // Fixed before it is shown, so that the window manager offers no maximise.
  box.setFixedSize(box.sizeHint().expandedTo(QSize(CaptionWidth(box), 0)));
  box.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, box.size(), ScreenArea()));
  box.exec();
}

QMessageBox* MakeQuestion(QWidget* parent, const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Question, BoxCaption(), QStringFromCp1251(text),
                              QMessageBox::Yes | QMessageBox::No, parent);
  box->setObjectName(QStringLiteral("Question"));
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->button(QMessageBox::Yes)->setText(QString::fromUtf8("Да"));
  box->button(QMessageBox::No)->setText(QString::fromUtf8("Нет"));
  box->setDefaultButton(QMessageBox::No);
  box->setEscapeButton(QMessageBox::No);
  WidenForCaption(*box);
  return box;
}

TMessage ErrorDisplayText(TMessage message) {
  const std::vector<TMessage::TPart>& parts = message.Parts();
  const std::string last = parts.empty() ? std::string() : parts.back().bytes;
  if (!last.empty() && static_cast<unsigned char>(last.back()) > '.') message.Program(".");
  return message;
}

void ShowException(const std::exception& error) {
  QMessageBox box(QMessageBox::Critical, BoxCaption(),
                  QStringFromMessage(ErrorDisplayText(WindowMessageOf(error))), QMessageBox::Ok,
                  BoxParent());
  box.setObjectName(QStringLiteral("ErrorBox"));
  box.setTextFormat(Qt::PlainText);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  box.setEscapeButton(QMessageBox::Ok);
  WidenForCaption(box);
  box.exec();
}
