#pragma once
// TForm2, the settings dialog: loads the five settings into its controls
// when it is created, applies skin changes at once and writes the settings
// on "ОК".

#include <QDialog>
#include <string>

#include "program_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TSkinEngine;

// What the dialog changes beyond the file and the skins.
class TSettingsDialogHost {
 public:
  virtual ~TSettingsDialogHost() = default;
  // The HTTP client's Port.
  virtual void SetHttpPort(int port) = 0;
  // Hides the balloon that the tray icon shows, if any.
  virtual void ClearBalloonHint() = 0;
};

class TForm2 : public QDialog {
 public:
  // Runs the creation handler; an exception there is shown and the dialog
  // still exists.
  TForm2(const std::string& settingsPath, TSkinEngine& skins, TSettingsDialogHost& host,
         QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void ConnectHandlers();
  void FormCreate();
  void StandardTest();
  bool IsStandard() const;
  void ShowStoredValues();

  void Edit1Change();
  void CheckBox1Click();
  void CheckBox2Click();
  void ComboBox1Change();
  void Button3Click();
  void Button1Click();

  // Selects a row of the skin list as the program does: no handler runs.
  void SetSkinListIndex(int index);
  // Selects a skin in the engine, as the dialog's own choice.
  void SelectSkin(const std::string& name);

  // The skin list's text, as the engine names skins.
  std::string SkinListText() const;

  TProgramSettings settings_;
  TSkinEngine& skins_;
  TSettingsDialogHost& host_;

  QLabel* label1_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QCheckBox* checkBox1_ = nullptr;
  QLabel* label2_ = nullptr;
  QComboBox* comboBox1_ = nullptr;
  QCheckBox* checkBox2_ = nullptr;
  QPushButton* button2_ = nullptr;
  QPushButton* button3_ = nullptr;
  QPushButton* button1_ = nullptr;
  bool settingSkinList_ = false;
  // The engine's skin as the dialog last chose or showed it.
  std::string skinSeen_;
};
