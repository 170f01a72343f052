// Renders the settings dialog in each of the sixteen skins into one contact
// sheet. Usage: melodrop-skin-sheet OUTPUT.png
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>

#include "qt_text.h"
#include "settings_dialog.h"
#include "settings_texts.h"
#include "skin_manager.h"
#include "window_font.h"

namespace {

class NoHost : public TSettingsDialogHost {
  void SetHttpPort(int) override {}
  void ClearBalloonHint() override {}
};

constexpr int kColumns = 4;
constexpr int kMargin = 16;
constexpr int kTitleBar = 20;
constexpr int kNameLine = 24;

// The dialog as its skin draws it, under a title bar in the skin's colours.
QPixmap DialogInSkin(TSkinManager& skins, const std::string& name, int index,
                     const QString& folder) {
  const std::string path = QStringLiteral("%1/%2.cfg").arg(folder).arg(index).toStdString();
  std::ofstream(path) << "[MAIN]\r\nSkin=1\r\nSkinIndex=" << index << "\r\n";
  NoHost host;
  TForm2 dialog(path, skins.Engine(), host);
  skins.Engine().SelectSkin(name);
  const QPixmap client = dialog.grab();

  QPixmap framed(client.width(), client.height() + kTitleBar);
  QPainter painter(&framed);
  const QPalette palette = QApplication::palette();
  painter.fillRect(0, 0, framed.width(), kTitleBar, palette.color(QPalette::Highlight));
  painter.setPen(palette.color(QPalette::HighlightedText));
  painter.setFont(WindowFont(12));
  painter.drawText(QRect(6, 0, framed.width() - 12, kTitleBar), Qt::AlignVCenter,
                   QStringFromCp1251(settings_texts::kCaption));
  painter.drawPixmap(0, kTitleBar, client);
  return framed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: melodrop-skin-sheet OUTPUT.png\n");
    return 2;
  }
  QApplication application(argc, argv);
  QTemporaryDir folder;
  TSkinManager skins;
  const auto& names = TSkinEngine::SkinNames();
  std::vector<QPixmap> dialogs;
  for (size_t i = 0; i < names.size(); ++i)
    dialogs.push_back(DialogInSkin(skins, names[i], static_cast<int>(i), folder.path()));
  skins.Engine().SetActive(false);

  const QSize cell(dialogs.front().width() + kMargin, dialogs.front().height() + kNameLine);
  const int rows = (static_cast<int>(dialogs.size()) + kColumns - 1) / kColumns;
  QPixmap sheet(kMargin + kColumns * cell.width(), kMargin + rows * cell.height());
  sheet.fill(QColor(0xF4F4F4));
  QPainter painter(&sheet);
  painter.setFont(WindowFont(13));
  for (size_t i = 0; i < dialogs.size(); ++i) {
    const QPoint at(kMargin + static_cast<int>(i % kColumns) * cell.width(),
                    kMargin + static_cast<int>(i / kColumns) * cell.height());
    painter.drawPixmap(at, dialogs[i]);
    painter.setPen(QColor(0x202020));
    painter.drawText(QRect(at.x(), at.y() + dialogs[i].height(), dialogs[i].width(), kNameLine),
                     Qt::AlignCenter, QStringFromCp1251(names[i]));
  }
  painter.end();
  if (!sheet.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
