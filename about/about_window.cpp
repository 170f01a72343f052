#include "about_window.h"

#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMouseEvent>

#include "cp1251.h"
#include "message_boxes.h"
#include "open_request.h"
#include "placed_controls.h"
#include "qt_text.h"
#include "window_font.h"

namespace {

const std::string kSite = "http://md.example";
const std::string kMail = "veltor@md.example";

QLabel* PlaceLabel(QWidget* parent, const char* name, const std::string& text, QRect geometry,
                   const QFont& font) {
  auto* label = Place<QLabel>(parent, name, geometry);
  label->setTextFormat(Qt::PlainText);
  label->setText(QStringFromCp1251(text));
  label->setFont(font);
  return label;
}

// The raised look of the captions: a soft shadow below right.
void Raise(QLabel* label) {
  auto* shadow = new QGraphicsDropShadowEffect(label);
  shadow->setOffset(1, 1);
  shadow->setBlurRadius(2);
  shadow->setColor(QColor(0, 0, 0, 90));
  label->setGraphicsEffect(shadow);
}

// The site link: in the palette's link colour, which every skin keeps
// legible, underlined under the mouse, opened on the press.
class TWebLink : public QLabel {
 public:
  TWebLink(QWidget* parent, TOpenRequests& opener) : QLabel(parent), opener_(opener) {
    setCursor(Qt::PointingHandCursor);
    setForegroundRole(QPalette::Link);
  }

 protected:
  void enterEvent(QEnterEvent*) override { Underline(true); }
  void leaveEvent(QEvent*) override { Underline(false); }
  // A window closed under the pointer sends no leave.
  void hideEvent(QHideEvent*) override { Underline(false); }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) RunGuarded([this] { opener_.Open(kSite); });
  }

 private:
  void Underline(bool on) {
    QFont underlined = font();
    underlined.setUnderline(on);
    setFont(underlined);
  }
  TOpenRequests& opener_;
};

}  // namespace

TForm4::TForm4(TOpenRequests& opener, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringFromCp1251(Utf8ToCp1251("О программе")));
  setFont(WindowFont(11));
  setFixedSize(345, 210);
  move(262, 172);

  QFont titleFont = WindowFont(21);
  titleFont.setBold(true);
  Raise(PlaceLabel(this, "Label1", "Melodrop Downloader " MELODROP_VERSION " Beta", {8, 8, 334, 33},
                   titleFont));
  auto* information = PlaceLabel(
      this, "Label2",
      Utf8ToCp1251("Год выпуска: 2011\nРазработчик: veltor2007\nСайт разработчика: ") + kSite +
          Utf8ToCp1251("\nЯзык интерфейса: Русский\nПлатформа: Linux (X11, Wayland)"
                       "\nСистемные требования: Internet 128 kbps"),
      {8, 48, 329, 105}, WindowFont(13));
  information->setWordWrap(true);
  information->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Raise(PlaceLabel(this, "Label3",
                   Utf8ToCp1251("За подробной информацией или с предложениями обращаться:"),
                   {8, 168, 331, 21}, font()));
  auto* link = new TWebLink(this, opener);
  link->setObjectName(QStringLiteral("Label4"));
  link->setTextFormat(Qt::PlainText);
  link->setText(QStringFromCp1251(kSite));
  link->setGeometry(8, 192, 115, 13);
  Raise(PlaceLabel(this, "Label5", Utf8ToCp1251("или  ") + kMail, {128, 188, 129, 21}, font()));
}
