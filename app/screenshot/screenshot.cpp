// Draws the README's pictures of the program's windows.
//   melodrop-screenshot main PORT PHRASE ROW OUTPUT.png [SKIN]
//       the main window after a search against a running portal, in the
//       desktop's look or in SKIN; its boxes are answered
//   melodrop-screenshot sheet settings|about OUTPUT.png
//       the settings dialog or the about window in each of the sixteen skins
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>

#include "about_window.h"
#include "contact_sheet.h"
#include "open_request.h"
#include "program.h"
#include "qt_text.h"
#include "skin_manager.h"

namespace {

// Presses Enter in every box that comes up, as a reader of them would.
void AnswerBoxes() {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->accept();
  });
  poll->start(20);
}

QPixmap MainWindow(const std::string& port, const QString& phrase, int row,
                   const std::string& skin) {
  QTemporaryDir folder;
  const std::string settingsPath = folder.filePath(QStringLiteral("Settings.cfg")).toStdString();
  std::ofstream settings(settingsPath);
  settings << "[MAIN]\r\nPort=" << port << "\r\n";
  if (!skin.empty()) settings << "Skin=1\r\nSkinName=" << skin << "\r\n";
  settings.close();

  AnswerBoxes();
  TProgram program(settingsPath);
  TForm1& form1 = program.MainWindow();
  auto* search = form1.findChild<QLineEdit*>(QStringLiteral("Edit3"));
  search->setText(phrase);
  emit search->returnPressed();
  auto* titles = form1.findChild<QListView*>(QStringLiteral("ListBox1"));
  titles->setFocus();
  titles->setCurrentIndex(titles->model()->index(row, 0));
  QCoreApplication::processEvents();
  return Framed(form1);
}

class NoHost : public TSettingsDialogHost {
  void SetHttpPort(int) override {}
  void ClearBalloonHint() override {}
};

class NoOpener : public TOpenRequests {
  void Open(const std::string&) override {}
};

QPixmap SkinSheet(const std::string& window) {
  QTemporaryDir folder;
  const std::string settingsPath = folder.filePath(QStringLiteral("Settings.cfg")).toStdString();
  TSkinManager skins;
  NoHost host;
  NoOpener opener;
  std::vector<QPixmap> pictures;
  std::vector<QString> names;
  skins.Engine().SetActive(true);
  const auto& skinNames = TSkinEngine::SkinNames();
  for (size_t i = 0; i < skinNames.size(); ++i) {
    const std::string& name = skinNames[i];
    std::ofstream(settingsPath) << "[MAIN]\r\nSkin=1\r\nSkinIndex=" << i << "\r\n";
    skins.Engine().SelectSkin(name);
    if (window == "about") {
      TForm4 about(opener);
      pictures.push_back(Framed(about));
    } else {
      TForm2 dialog(settingsPath, skins.Engine(), host);
      skins.Engine().SelectSkin(name);
      pictures.push_back(Framed(dialog));
    }
    names.push_back(QStringFromCp1251(name));
  }
  skins.Engine().SetActive(false);
  return ContactSheet(pictures, names);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const bool main = mode == "main" && (argc == 6 || argc == 7);
  const bool sheet = mode == "sheet" && argc == 4 &&
                     (std::string(argv[2]) == "settings" || std::string(argv[2]) == "about");
  if (!main && !sheet) {
    std::fprintf(stderr,
                 "usage: melodrop-screenshot main PORT PHRASE ROW OUTPUT.png [SKIN]\n"
                 "       melodrop-screenshot sheet settings|about OUTPUT.png\n");
    return 2;
  }
  QApplication application(argc, argv);
  SetUpApplication();
  const char* output = main ? argv[5] : argv[3];
  const QPixmap picture = main ? MainWindow(argv[2], QString::fromLocal8Bit(argv[3]),
                                            std::atoi(argv[4]), argc == 7 ? argv[6] : "")
                               : SkinSheet(argv[2]);
  if (!picture.save(QString::fromLocal8Bit(output))) {
    std::fprintf(stderr, "cannot write %s\n", output);
    return 1;
  }
  return 0;
}
