// TForm2 on the offscreen platform: a fresh dialog per test over its own
// settings file, controls found by object name, boxes answered by key.
#include "settings_dialog.h"

#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include <gtest/gtest.h>

#include "qt_text.h"
#include "skin_engine.h"
#include "support/modal_answer.h"
#include "temp_folder.h"
#include "wayland_window_guard.h"

namespace {

using namespace testing_support;

const std::string kSnowLeopard = "Snow Leopard (internal)";

class RecordingHost : public TSettingsDialogHost {
 public:
  explicit RecordingHost(const std::string& path) : path_(path) {}
  void SetHttpPort(int port) override {
    ports.push_back(port);
    fileWhenPortSet = ReadBytes(path_);
  }
  void ClearBalloonHint() override { ++balloonsCleared; }

  std::vector<int> ports;
  std::string fileWhenPortSet;
  int balloonsCleared = 0;

 private:
  std::string path_;
};

class SettingsDialogTest : public ::testing::Test {
 protected:
  void Open(const std::string& fileBytes = {}) {
    if (!fileBytes.empty()) WriteBytes(path, fileBytes);
    dialog = std::make_unique<TForm2>(path, engine, host);
  }

  template <class Control>
  Control* Find(const char* name) {
    auto* control = dialog->findChild<Control*>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QLineEdit* Port() { return Find<QLineEdit>("Edit1"); }
  QCheckBox* SkinBox() { return Find<QCheckBox>("CheckBox1"); }
  QComboBox* SkinList() { return Find<QComboBox>("ComboBox1"); }
  QCheckBox* BalloonBox() { return Find<QCheckBox>("CheckBox2"); }
  QPushButton* Standard() { return Find<QPushButton>("Button3"); }
  QPushButton* Ok() { return Find<QPushButton>("Button1"); }
  std::string SkinListText() { return Cp1251FromQString(SkinList()->currentText()); }

  void TypePort(const QString& text) {
    Port()->clear();
    QTest::keyClicks(Port(), text);
  }

  TempFolder folder;
  std::string path = folder.File("Settings.cfg");
  TSkinEngine engine;
  RecordingHost host{path};
  std::unique_ptr<TForm2> dialog;
};

TEST_F(SettingsDialogTest, AFixedDialogWhoseCaptionsAreNeverCutOff) {
  Open();
  EXPECT_EQ(dialog->size(), QSize(266, 168));
  EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
  EXPECT_LT(Find<QLabel>("Label1")->geometry().right(), Port()->x());
  for (QCheckBox* box : {SkinBox(), BalloonBox()})
    EXPECT_LE(box->sizeHint().width(), box->width()) << box->objectName().toStdString();
  EXPECT_EQ(SkinList()->count(), 16);
}

// Maximised on a Wayland desktop: the dialog takes the room, and its
// controls stand as laid out in its middle.
TEST_F(SettingsDialogTest, GrownAsOnWaylandItKeepsItsLayoutInTheMiddle) {
  Open();
  std::vector<std::pair<QWidget*, QRect>> placed;
  for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    placed.emplace_back(control, control->geometry());
  dialog->show();
  LetGrow(*dialog);
  dialog->resize(666, 368);
  EXPECT_EQ(dialog->minimumSize(), QSize(266, 168)) << "never smaller than laid out";
  for (const auto& [control, designed] : placed)
    EXPECT_EQ(control->geometry(), designed.translated(200, 100))
        << control->objectName().toStdString();
  dialog->resize(266, 168);
  for (const auto& [control, designed] : placed)
    EXPECT_EQ(control->geometry(), designed) << control->objectName().toStdString();
}

TEST_F(SettingsDialogTest, CreationLoadsTheFileAsTheControlsHandlersSeeIt) {
  const struct {
    const char* file;
    const char* port;
    bool skin;
    int index;
    std::string listText;
    bool balloon;
    bool standardEnabled;
  } cases[] = {
      // Skinning off differs from the standard values.
      {"", "80", false, 0, kSnowLeopard, true, true},
      // "0x1" is true; "yes" and an empty value read as the defaults.
      {"[MAIN]\r\nSkin=0x1\r\nShowBaloon=yes\r\nSkinIndex=\r\n", "80", true, 0, kSnowLeopard, true,
       false},
      {"[MAIN]\r\nPort=8080\r\nSkin=1\r\nShowBaloon=0\r\nSkinIndex=14\r\n", "8080", true, 14,
       "Wood (internal)", false, true},
      // An index outside the list: no selection, no text.
      {"[MAIN]\r\nSkin=1\r\nSkinIndex=16\r\n", "80", true, -1, "", true, true},
      {"[MAIN]\r\nSkin=\r\nSkinIndex=-1\r\n", "80", false, -1, "", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    engine.SetActive(false);
    engine.SelectSkin(kSnowLeopard);
    Open(c.file);
    EXPECT_EQ(Port()->text(), QLatin1String(c.port));
    EXPECT_EQ(SkinBox()->isChecked(), c.skin);
    EXPECT_EQ(SkinList()->isEnabled(), c.skin);
    EXPECT_EQ(Find<QLabel>("Label2")->isEnabled(), c.skin);
    EXPECT_EQ(SkinList()->currentIndex(), c.index);
    EXPECT_EQ(SkinListText(), c.listText);
    EXPECT_EQ(BalloonBox()->isChecked(), c.balloon);
    EXPECT_EQ(Standard()->isEnabled(), c.standardEnabled);
    EXPECT_EQ(engine.Active(), c.skin) << "the skin box switched it";
    EXPECT_EQ(engine.SkinName(), kSnowLeopard) << "a selection by program selects nothing";
  }
}

TEST_F(SettingsDialogTest, StandardRestoresTheValuesAndOnlyItDisablesItself) {
  Open("[MAIN]\r\nPort=8081\r\nShowBaloon=0\r\nSkinIndex=5\r\n");
  Standard()->click();
  EXPECT_EQ(Port()->text(), QStringLiteral("80"));
  EXPECT_TRUE(SkinBox()->isChecked());
  EXPECT_EQ(SkinList()->currentIndex(), 0);
  EXPECT_TRUE(BalloonBox()->isChecked());
  EXPECT_FALSE(Standard()->isEnabled());
  EXPECT_TRUE(engine.Active());
  EXPECT_EQ(engine.SkinName(), kSnowLeopard);

  TypePort(QStringLiteral("8080"));
  EXPECT_TRUE(Standard()->isEnabled());
  TypePort(QStringLiteral("80"));
  EXPECT_TRUE(Standard()->isEnabled()) << "the standard test never disables it";
}

TEST_F(SettingsDialogTest, TheBoxesAndTheListActAtOnce) {
  Open();
  dialog->show();
  dialog->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
  SkinBox()->click();
  EXPECT_TRUE(engine.Active());
  QTest::keyClick(SkinList(), Qt::Key_Down);
  EXPECT_EQ(engine.SkinName(), "Beijing Ext (internal)") << "a pick selects the skin";
  // Typing selects what the completion shows; a text that names no skin
  // selects nothing, so the look never jumps to the first skin.
  SkinList()->setFocus();
  const struct {
    const char* typed;
    const char* skin;
  } typing[] = {{"Co", "Cold (internal)"},
                {"Zz", "Cold (internal)"},
                {"Wood (internal)", "Wood (internal)"},
                {"Wood (in", "Wood (internal)"}};
  for (const auto& t : typing) {
    SkinList()->lineEdit()->clear();
    QTest::keyClicks(SkinList()->lineEdit(), QString::fromLatin1(t.typed));
    EXPECT_EQ(engine.SkinName(), t.skin) << t.typed;
  }
  SkinBox()->click();
  EXPECT_FALSE(engine.Active());

  BalloonBox()->click();
  EXPECT_EQ(host.balloonsCleared, 1) << "unticked: the balloon goes";
  BalloonBox()->click();
  EXPECT_EQ(host.balloonsCleared, 1);
}

TEST_F(SettingsDialogTest, OkGivesThePortThenWritesTheFiveKeysAndSelectsTheSkin) {
  Open();
  dialog->show();
  TypePort(QStringLiteral(" 8080"));
  SkinBox()->click();
  SkinList()->setCurrentIndex(3);
  BalloonBox()->click();
  Ok()->click();
  EXPECT_EQ(host.ports, std::vector<int>{8080});
  EXPECT_EQ(host.fileWhenPortSet, "") << "the port comes before any write";
  EXPECT_EQ(ReadBytes(path),
            "[MAIN]\r\nPort= 8080\r\nSkin=1\r\nShowBaloon=0\r\nSkinIndex=3\r\n"
            "SkinName=Cold (internal)\r\n");
  EXPECT_EQ(engine.SkinName(), "Cold (internal)");
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_FALSE(dialog->isVisible());

  Open("[MAIN]\r\nSkinIndex=40\r\n");
  Ok()->click();
  EXPECT_EQ(ReadBytes(path),
            "[MAIN]\r\nSkinIndex=-1\r\nPort=80\r\nSkin=0\r\nShowBaloon=1\r\nSkinName=\r\n")
      << "without a selection: -1 and an empty name";
}

TEST_F(SettingsDialogTest, FailuresAreShownAndTheDialogStaysOpen) {
  const struct {
    const char* port;
    bool readOnly;
    std::string shown;
    std::vector<int> ports;
  } cases[] = {
      {"abc", false, "'abc' is not a valid integer value.", {}},
      {"", false, "'' is not a valid integer value.", {}},
      {"0x000000050", false, "'0x000000050' is not a valid integer value.", {}},
      {"70000", false, "Порт должен быть числом от 1 до 65535.", {}},
      {"0", false, "Порт должен быть числом от 1 до 65535.", {}},
      {"8080", true, "Не удалось сохранить настройки в файл " + path + ".", {8080}},
  };
  const std::string stored = "[MAIN]\r\nPort=81\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.port);
    WriteBytes(path, stored);
    chmod(path.c_str(), c.readOnly ? 0444 : 0644);
    host.ports.clear();
    Open();
    dialog->show();
    TypePort(QLatin1String(c.port));
    ModalAnswer answer;
    Ok()->click();
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(answer.text.toStdString(), c.shown);
    EXPECT_EQ(answer.icon, QMessageBox::Critical);
    EXPECT_EQ(host.ports, c.ports);
    EXPECT_EQ(ReadBytes(path), stored) << "nothing written";
    EXPECT_TRUE(dialog->isVisible());
  }
}

TEST_F(SettingsDialogTest, CancelKeepsTheChosenSkinWhileTheNextStartUsesTheStoredOne) {
  const std::string stored = "[MAIN]\r\nSkin=1\r\nSkinIndex=14\r\nSkinName=Wood (internal)\r\n";
  Open(stored);
  dialog->show();
  QTest::keyClick(SkinList(), Qt::Key_Down);
  EXPECT_EQ(engine.SkinName(), "XPLuna (internal)");
  Find<QPushButton>("Button2")->click();
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(engine.SkinName(), "XPLuna (internal)") << "for the rest of the run";
  EXPECT_EQ(ReadBytes(path), stored);
  EXPECT_EQ(TProgramSettings(path).SkinName(), "Wood (internal)");
}

}  // namespace
