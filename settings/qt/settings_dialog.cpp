#include "settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <stdexcept>

#include "integer_text.h"
#include "message_boxes.h"
#include "placed_controls.h"
#include "qt_text.h"
#include "settings_texts.h"
#include "skin_engine.h"
#include "window_font.h"

namespace {

QPushButton* PlaceButton(QWidget* parent, const char* name, const std::string& caption, int left) {
  auto* button = Place<QPushButton>(parent, name, caption, QRect(left, 136, 75, 25));
  // Enter presses no button here; Esc closes the dialog as "Отмена" does.
  button->setAutoDefault(false);
  return button;
}

}  // namespace

using namespace settings_texts;

TForm2::TForm2(const std::string& settingsPath, TSkinEngine& skins, TSettingsDialogHost& host,
               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settingsPath),
      skins_(skins),
      host_(host) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringFromCp1251(kCaption));
  setFont(WindowFont(11));
  setFixedSize(266, 168);
  move(347, 327);
  CreateControls();
  ConnectHandlers();
  RunGuarded([this] { FormCreate(); });
}

void TForm2::CreateControls() {
  label1_ = PlaceCaption(this, "Label1", kPortLabel, {8, 12});
  edit1_ = Place<QLineEdit>(this, "Edit1", "80", {216, 8, 41, 21});
  label1_->setBuddy(edit1_);
  checkBox1_ = Place<QCheckBox>(this, "CheckBox1", kSkinSupport, {8, 40, 113, 17});
  label2_ = PlaceCaption(this, "Label2", kSkinLabel, {32, 64});
  comboBox1_ = new QComboBox(this);
  comboBox1_->setObjectName(QStringLiteral("ComboBox1"));
  comboBox1_->setEditable(true);
  comboBox1_->setInsertPolicy(QComboBox::NoInsert);
  comboBox1_->setGeometry(32, 80, 225, 21);
  checkBox2_ = Place<QCheckBox>(this, "CheckBox2", kShowBalloon, {8, 112, 217, 17});
  button2_ = PlaceButton(this, "Button2", kCancel, 8);
  button3_ = PlaceButton(this, "Button3", kStandard, 96);
  button1_ = PlaceButton(this, "Button1", kOk, 184);
}

void TForm2::ConnectHandlers() {
  // Changes by the program run these as the user's own do.
  connect(edit1_, &QLineEdit::textChanged, this, Guarded([this] { Edit1Change(); }));
  connect(checkBox1_, &QCheckBox::toggled, this, Guarded([this] { CheckBox1Click(); }));
  connect(checkBox2_, &QCheckBox::toggled, this, Guarded([this] { CheckBox2Click(); }));
  // The user's picks and typing, with the completion they see: a selection
  // set by the program runs nothing.
  connect(comboBox1_->lineEdit(), &QLineEdit::textChanged, this, Guarded([this] {
            if (!settingSkinList_) ComboBox1Change();
          }));
  connect(button3_, &QPushButton::clicked, this, Guarded([this] { Button3Click(); }));
  connect(button1_, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
  connect(button2_, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm2::FormCreate() {
  settingSkinList_ = true;
  for (const std::string& name : TSkinEngine::SkinNames())
    comboBox1_->addItem(QStringFromCp1251(name));
  settingSkinList_ = false;
  SetSkinListIndex(0);
  label2_->setEnabled(checkBox1_->isChecked());
  comboBox1_->setEnabled(checkBox1_->isChecked());

  edit1_->setText(QStringFromCp1251(settings_.PortText()));
  checkBox1_->setChecked(settings_.Skin());
  // An index outside the list leaves no selection and an empty text.
  SetSkinListIndex(settings_.SkinIndex());
  checkBox2_->setChecked(settings_.ShowBalloon());
  skinSeen_ = skins_.SkinName();
}

bool TForm2::IsStandard() const {
  return edit1_->text() == QLatin1String("80") && checkBox1_->isChecked() &&
         checkBox2_->isChecked() && comboBox1_->currentIndex() == 0;
}

void TForm2::StandardTest() {
  if (!IsStandard()) button3_->setEnabled(true);
}

void TForm2::Edit1Change() {
  StandardTest();
}

void TForm2::CheckBox1Click() {
  const bool on = checkBox1_->isChecked();
  skins_.SetActive(on);
  label2_->setEnabled(on);
  comboBox1_->setEnabled(on);
  if (on) button3_->setEnabled(false);
  StandardTest();
}

void TForm2::CheckBox2Click() {
  if (checkBox2_->isChecked())
    button3_->setEnabled(false);
  else
    host_.ClearBalloonHint();
  StandardTest();
}

// A text that names no skin (yet) selects nothing: the look never jumps to
// the first skin while a name is being typed.
void TForm2::ComboBox1Change() {
  const std::string typed = SkinListText();
  if (TSkinEngine::SkinIndexOf(typed) >= 0) SelectSkin(typed);
  button3_->setEnabled(true);
}

void TForm2::SetSkinListIndex(int index) {
  settingSkinList_ = true;
  comboBox1_->setCurrentIndex(index);
  settingSkinList_ = false;
}

void TForm2::SelectSkin(const std::string& name) {
  skins_.SelectSkin(name);
  skinSeen_ = skins_.SkinName();
}

// The dialog opens on what is stored, so that "ОК" never writes what
// "Отмена" dismissed. The boxes are set without their handlers: the skin on
// screen after "Отмена" stays for the run, and "ОК" applies the box.
void TForm2::ShowStoredValues() {
  const QSignalBlocker portBlocker(edit1_);
  const QSignalBlocker skinBlocker(checkBox1_);
  const QSignalBlocker balloonBlocker(checkBox2_);
  edit1_->setText(QStringFromCp1251(settings_.PortText()));
  checkBox1_->setChecked(settings_.Skin());
  checkBox2_->setChecked(settings_.ShowBalloon());
  label2_->setEnabled(checkBox1_->isChecked());
  comboBox1_->setEnabled(checkBox1_->isChecked());
  button3_->setEnabled(!IsStandard());
}

// The list and the menu of skins are two views of one choice: a skin picked
// in the menu since the dialog last chose one shows here.
void TForm2::showEvent(QShowEvent* event) {
  ShowStoredValues();
  const int chosen = TSkinEngine::SkinIndexOf(skins_.SkinName());
  if (skins_.SkinName() != skinSeen_ && chosen >= 0) SetSkinListIndex(chosen);
  skinSeen_ = skins_.SkinName();
  QDialog::showEvent(event);
}

void TForm2::Button3Click() {
  edit1_->setText(QStringLiteral("80"));
  checkBox1_->setChecked(true);
  SetSkinListIndex(0);
  checkBox2_->setChecked(true);
  button3_->setEnabled(false);
  SelectSkin(SkinListText());
}

void TForm2::Button1Click() {
  const std::string portText = Cp1251FromQString(edit1_->text());
  const int32_t port = StrToInt(portText);
  // A number that is no port would be refused at the next start anyway.
  if (port < 1 || port > 65535) throw std::runtime_error(settings_texts::kPortOutOfRange);
  host_.SetHttpPort(port);
  settings_.Write(portText, checkBox1_->isChecked(), checkBox2_->isChecked(),
                  comboBox1_->currentIndex(), SkinListText());
  skins_.SetActive(checkBox1_->isChecked());
  SelectSkin(SkinListText());
  accept();
}

std::string TForm2::SkinListText() const {
  return Cp1251FromQString(comboBox1_->currentText());
}
