#include "save_dialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStyle>
#include <QTreeView>

#include "app_texts.h"
#include "message_boxes.h"
#include "qt_text.h"
#include "track_download.h"

namespace {

// Icons and types from the file name alone. Qt's own provider reads a file
// to tell its type when the name does not, and a read of /proc/kmsg or of a
// pipe never returns: the dialog would hang in such a folder.
class TNameOnlyIconProvider : public QFileIconProvider {
 public:
  using QFileIconProvider::icon;
  QIcon icon(const QFileInfo& info) const override {
    if (info.isDir()) return QFileIconProvider::icon(info);
    const QMimeType mime = Mime(info);
    return QIcon::fromTheme(
        mime.iconName(), QIcon::fromTheme(mime.genericIconName(), icon(QFileIconProvider::File)));
  }
  // Folders too by the desktop's words for the type ("Папка"): Qt's own
  // provider has no translation for it.
  QString type(const QFileInfo& info) const override {
    if (info.isDir())
      return QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory")).comment();
    return Mime(info).comment();
  }

 private:
  static QMimeType Mime(const QFileInfo& info) {
    return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
  }
};

// Qt's own file dialog as the program opens it. Its default size elides a
// track's title, its size, type and date, and the places beside them
// ("Компьютер"): it opens wider, as far as the screen allows, its names
// take the room the other columns leave, and the places get the width they
// need. A desktop's own dialog keeps the size it chooses.
class TProgramFileDialog : public QFileDialog {
 public:
  TProgramFileDialog(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& name)
      : QFileDialog(parent, caption, folder) {
    // Never freed: the dialog's file system model may still ask it while
    // the dialog goes.
    static auto* icons = new TNameOnlyIconProvider;
    setIconProvider(icons);
    setObjectName(name);
    const QRect screenArea = screen()->availableGeometry();
    resize(std::min(860, screenArea.width() * 9 / 10), std::min(540, screenArea.height() * 8 / 10));
    if (auto* files = findChild<QTreeView*>(QStringLiteral("treeView"))) {
      columns_ = files->header();
      columns_->setStretchLastSection(false);
      columns_->setSectionResizeMode(QHeaderView::ResizeToContents);
      columns_->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    auto* places = findChild<QAbstractItemView*>(QStringLiteral("sidebar"));
    auto* splitter = findChild<QSplitter*>(QStringLiteral("splitter"));
    if (places != nullptr && splitter != nullptr && splitter->count() == 2) {
      const int placesWidth = places->sizeHintForColumn(0) + 2 * places->frameWidth() +
                              places->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
      splitter->setSizes({placesWidth, width() - placesWidth});
    }
  }
  // Qt keeps the columns of its dialog for every Qt program of the user:
  // they go back to being sized by hand before it does.
  ~TProgramFileDialog() override {
    if (columns_ != nullptr) columns_->setSectionResizeMode(QHeaderView::Interactive);
  }
  TProgramFileDialog(const TProgramFileDialog&) = delete;
  TProgramFileDialog& operator=(const TProgramFileDialog&) = delete;

 private:
  QHeaderView* columns_ = nullptr;
};

// Given to the dialog from the start, so the folder that Qt's dialogs
// remember across programs (which may be gone, huge, or /proc) is not where
// it opens.
QString StartFolder(const QString& lastName) {
  if (!lastName.isEmpty() && QFileInfo(lastName).absoluteDir().exists())
    return QFileInfo(lastName).absolutePath();
  const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  if (!music.isEmpty() && QDir(music).exists()) return music;
  return QDir::homePath();
}

// The caption of the dialog, whoever draws it, and of its question.
QString SaveAsCaption() {
  return QCoreApplication::translate("QFileDialog", "Save As");
}

// Asks before the track replaces a file, under the name it is saved as
// (".mp3" added), in the words of the desktop's own save dialogs. Asked
// once the dialog has closed: a desktop's own dialog (GTK's, KDE's) has
// closed by then whatever the answer, and one kept waiting under the
// question left the window deaf to the mouse.
bool ReplaceAllowed(QWidget* parent, const QString& chosen) {
  const QFileInfo existing(QFile::decodeName(
      QByteArray::fromStdString(SavedTrackPath(QFile::encodeName(chosen).toStdString()))));
  if (!existing.exists() || existing.isDir()) return true;
  QMessageBox question(
      QMessageBox::Warning, SaveAsCaption(),
      QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
          .arg(existing.fileName()),
      QMessageBox::Yes | QMessageBox::No, parent);
  question.setObjectName(QStringLiteral("ReplaceQuestion"));
  question.setTextFormat(Qt::PlainText);
  question.setDefaultButton(QMessageBox::No);
  WidenForCaption(question);
  return question.exec() == QMessageBox::Yes;
}

}  // namespace

std::optional<QString> RunSaveDialog(QWidget* parent, const QString& lastName,
                                     const QString& suggestedName) {
  TProgramFileDialog dialog(parent, SaveAsCaption(), StartFolder(lastName),
                            QStringLiteral("SaveDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QStringFromCp1251(app_texts::kSaveFilter));
  // The dialog itself would ask about the name without the ".mp3".
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!suggestedName.isEmpty()) dialog.selectFile(suggestedName);
  // A No to replacing a file returns to the dialog, on the name chosen.
  for (;;) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (ReplaceAllowed(parent, chosen)) return chosen;
    dialog.selectFile(chosen);
  }
}

std::optional<QString> RunFolderDialog(QWidget* parent, const QString& lastName,
                                       const QString& caption) {
  TProgramFileDialog dialog(parent, caption, StartFolder(lastName),
                            QStringLiteral("FolderDialog1"));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

QString FolderAsLastName(const QString& folder) {
  return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
