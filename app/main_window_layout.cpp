// The main window's controls, menus, tray icon and progress display.
#include <QAction>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>

#include "anchored_controls.h"
#include "app_texts.h"
#include "file_list_window.h"
#include "main_window.h"
#include "menu_arrows.h"
#include "menu_key.h"
#include "message_boxes.h"
#include "placed_controls.h"
#include "qt_text.h"
#include "skin_menu.h"
#include "title_list.h"
#include "tray_icon.h"
#include "window_font.h"

using namespace app_texts;

void TForm1::CreateControls() {
  // The stored layout is the smallest: the fields and the list take a
  // larger window's width, the list its height; the banner stays.
  auto* client = new QWidget(this);
  client->setMinimumSize(370, 523);
  setCentralWidget(client);

  auto* bevel1 = Place<QFrame>(client, "Bevel1", {1, 1, 368, 82});
  bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  bevel1->setCursor(Qt::PointingHandCursor);
  image1_ = Place<QLabel>(client, "Image1", {2, 2, 365, 81});
  image1_->setCursor(Qt::PointingHandCursor);
  image1_->setAlignment(Qt::AlignCenter);
  ShowBanner();
  image1_->installEventFilter(this);
  NameForScreenReaders(image1_, kBannerName, kBannerDescription);

  edit3_ = Place<QLineEdit>(client, "Edit3", {4, 84, 309, 21});
  NameForScreenReaders(edit3_, kSearchBoxName, kSearchBoxDescription);
  button1_ = Place<QPushButton>(client, "Button1", {316, 84, 50, 21});
  button1_->setText(QStringFromCp1251(kSearchButton));
  button1_->setToolTip(QStringFromCp1251(kSearchHint));

  QLabel* label2 = PlaceCaption(client, "Label2", kFileNameLabel, {4, 106});
  label5_ = Place<QLabel>(client, "Label5", {4, 124, 361, 21});
  NameForScreenReaders(label5_, kFileNameLabel.substr(0, kFileNameLabel.size() - 1));
  label2->setBuddy(label5_);
  label5_->setTextFormat(Qt::PlainText);
  label5_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label5_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  label5_->setFocusPolicy(Qt::StrongFocus);
  label5_->setToolTip(QStringFromCp1251(kFoundNameHint));

  QLabel* label1 = PlaceCaption(client, "Label1", kLinkLabel, {4, 146});
  edit4_ = Place<QLineEdit>(client, "Edit4", {4, 164, 285, 21});
  label1->setBuddy(edit4_);
  edit4_->setReadOnly(true);
  edit4_->setEnabled(false);
  edit4_->setToolTip(QStringFromCp1251(kLinkHint));
  edit4_->installEventFilter(this);
  button2_ = Place<QPushButton>(client, "Button2", {292, 164, 49, 21});
  button2_->setText(QStringFromCp1251(kDownloadButton));
  button2_->setToolTip(QStringFromCp1251(kDownloadHint));
  bitBtn1_ = Place<QPushButton>(client, "BitBtn1", {344, 164, 21, 21});
  ShowListenGlyph();
  bitBtn1_->setToolTip(QStringFromCp1251(kListenHint));
  NameForScreenReaders(bitBtn1_, kListenName, kListenHint);

  listBox1_ = Place<QListView>(client, "ListBox1", {0, 192, 369, 313});
  titles_ = new TTitleListModel(listBox1_);
  listBox1_->setModel(titles_);
  listBox1_->setItemDelegate(new TTitleRowDelegate(listBox1_));
  listBox1_->setUniformItemSizes(true);
  // Long titles are clipped at the row's end.
  listBox1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  listBox1_->setFont(WindowFont(13));
  listBox1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listBox1_->setFocusPolicy(Qt::StrongFocus);
  // Ctrl+click, Shift+click, Shift+arrows and Ctrl+A pick several titles.
  listBox1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // Tab and Shift+Tab go round the controls in reading order.
  QWidget* const readingOrder[] = {edit3_,   button1_, label5_,  edit4_,
                                   button2_, bitBtn1_, listBox1_};
  for (size_t i = 0; i + 1 < std::size(readingOrder); ++i)
    setTabOrder(readingOrder[i], readingOrder[i + 1]);
  listBox1_->installEventFilter(this);
  NameForScreenReaders(listBox1_, kTitleListName, kTitleListDescription);

  statusBar1_ = Place<QStatusBar>(client, "StatusBar1", {0, 504, 370, 19});
  statusBar1_->setSizeGripEnabled(false);
  NameForScreenReaders(statusBar1_, kStatusBarName);
  auto* panel0 = new QLabel(QStringLiteral(" "), statusBar1_);
  panel0_ = panel0;
  panel0->setObjectName(QStringLiteral("Panel0"));
  panel0->setTextFormat(Qt::PlainText);
  NameForScreenReaders(panel0, kStateName);
  // It takes the width the window grows by; a long line is cut, never
  // widening the window.
  panel0->setMinimumWidth(245);
  panel0->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* panel1 = new QLabel(QStringFromCp1251(kAuthorPanel), statusBar1_);
  panel1->setObjectName(QStringLiteral("Panel1"));
  panel1->setTextFormat(Qt::PlainText);
  panel1->setFixedWidth(100);
  panel1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  statusBar1_->addWidget(panel0, 1);
  statusBar1_->addPermanentWidget(panel1);

  // The running background download, at the left of the status line and
  // under the bar of the window's own transfers.
  downloadsBar_ = new QProgressBar(statusBar1_);
  downloadsBar_->setObjectName(QStringLiteral("DownloadsBar"));
  downloadsBar_->setTextVisible(false);
  NameForScreenReaders(downloadsBar_, kDownloadsProgressName);
  downloadsBar_->setGeometry(0, 2, kDownloadsBarWidth, statusBar1_->height() - 2);
  downloadsBar_->hide();

  // Until the creation handler places it in the status bar.
  progressBar1_ = Place<QProgressBar>(client, "ProgressBar1", {0, 0, 0, 0});
  progressBar1_->setTextVisible(false);
  NameForScreenReaders(progressBar1_, kProgressName);
  progressBar1_->hide();

  auto* anchors = new TAnchoredControls(client, client->minimumSize());
  using A = TAnchoredControls;
  for (QWidget* field : std::initializer_list<QWidget*>{edit3_, label5_, edit4_})
    anchors->Anchor(field, A::kStretchWidth);
  for (QWidget* button : std::initializer_list<QWidget*>{button1_, button2_, bitBtn1_})
    anchors->Anchor(button, A::kFollowRight);
  anchors->Anchor(listBox1_, A::kStretchWidth | A::kStretchHeight);
  anchors->Anchor(statusBar1_, A::kStretchWidth | A::kFollowBottom);
}

void TForm1::CreateMenus() {
  QMenuBar* bar = menuBar();
  // Each title with its first letter as mnemonic (Alt+letter); F10 opens
  // the first menu.
  const auto title = [](const std::string& caption) {
    return QLatin1Char('&') + QStringFromCp1251(caption);
  };
  QMenu* n1 = bar->addMenu(title(kProgramMenu));
  n1->setObjectName(QStringLiteral("N1"));
  auto item = [this](QMenu* menu, const char* name, const std::string& caption, const QIcon& icon,
                     QKeySequence shortcut, std::function<void()> handler) {
    QAction* action = menu->addAction(icon, QStringFromCp1251(caption));
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, Guarded(std::move(handler)));
    return action;
  };
  auto separator = [](QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QLatin1String(name));
  };
  startSearchItem_ =
      item(n1, "N2", kStartSearch, MenuIcon("edit-find", "search"), {}, [this] { StartSearch(); });
  item(n1, "N3", kStopSearch, MenuIcon("process-stop", "stop"), {}, [this] { StopSearch(); });
  stopDownloadsItem_ = item(n1, "N16", kStopDownloads, MenuIcon("process-stop", "stop"), {},
                            [this] { StopDownloads(); });
  stopDownloadsItem_->setEnabled(false);
  separator(n1, "N4");
  reconnectItem_ = item(n1, "N5", kReconnect, MenuIcon("view-refresh", "reconnect"),
                        QKeySequence(Qt::CTRL | Qt::Key_R), [this] { Reconnect(); });
  separator(n1, "N6");
  item(n1, "N7", kFileListItem, MenuIcon("view-list-details", "list"),
       QKeySequence(Qt::CTRL | Qt::Key_L), [this] { ShowFileList(); });
  item(n1, "N8", kSettingsItem, MenuIcon("preferences-system", "settings"),
       QKeySequence(Qt::CTRL | Qt::Key_N), [this] { ShowSettings(); });
  separator(n1, "N9");
  item(n1, "N10", kExit, MenuIcon("application-exit", "exit"), QKeySequence(Qt::CTRL | Qt::Key_X),
       [this] { close(); });

  QMenu* n11 = bar->addMenu(title(kFileMenu));
  n11->setObjectName(QStringLiteral("N11"));
  downloadItem_ = item(n11, "N12", kDownloadButton, MenuIcon("document-save", "download"),
                       QKeySequence(Qt::CTRL | Qt::Key_D), [this] { DownloadFromMenu(); });
  copyLinkItem_ =
      item(n11, "N13", kCopyLink, MenuIcon("edit-copy", "copy"), {}, [this] { CopyLink(); });
  playItem_ = item(n11, "N14", kPlay, MenuIcon("media-playback-start", "play"),
                   QKeySequence(Qt::CTRL | Qt::Key_P), [this] { Play(); });
  // A title's own menu, with the same commands: a right-click, the menu key
  // or Shift+F10 on a title.
  auto* titleMenu = new QMenu(this);
  titleMenu->setObjectName(QStringLiteral("TitleMenu"));
  titleMenu->addActions({downloadItem_, copyLinkItem_, playItem_});
  listBox1_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(listBox1_, &QWidget::customContextMenuRequested, this, [this, titleMenu](QPoint at) {
    if (listBox1_->indexAt(at).isValid()) titleMenu->popup(listBox1_->viewport()->mapToGlobal(at));
  });
  OpenContextMenuFromKeyboard(*listBox1_);

  QAction* n15 = bar->addAction(title(kAboutMenu));
  n15->setObjectName(QStringLiteral("N15"));
  connect(n15, &QAction::triggered, this, Guarded([this] { ShowAbout(); }));

  auto* skinMenu = new TSkinMenu(skins_, this);
  // The menu has no "ОК": a pick is stored at once.
  skinMenu->OnPicked = [this](int index, const std::string& name) {
    RunGuarded([&] { settings_.WriteSkin(index, name); });
  };
  bar->addMenu(skinMenu);
  auto* arrows = new TMenuArrows(*bar);
  for (QMenu* menu : {n1, n11, static_cast<QMenu*>(skinMenu)}) arrows->Watch(*menu);
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(f10, &QShortcut::activated, this,
          [bar] { bar->setActiveAction(bar->actions().first()); });
  ShowCommandStates();
}

void TForm1::CreateTrayIcon(const std::function<tray::HWND(QWidget&)>& registerTrayOwner) {
  trayMenu_.Add(kExit, [this] { close(); });
  trayIcon1_ = std::make_unique<tray::TTrayIcon>(context_.tray, registerTrayOwner(*this));
  QFile icon(QStringLiteral(":/melodrop.ico"));
  if (icon.open(QIODevice::ReadOnly))
    trayIcon1_->Icon().LoadFromBytes(icon.readAll().toStdString());
  trayIcon1_->SetIconIndex(0);
  trayIcon1_->SetCycleInterval(0);
  trayIcon1_->SetIconVisible(true);
  trayIcon1_->SetPopupMenu(&trayMenu_);
  trayIcon1_->OnBalloonHintClick = [this](tray::TTrayIcon&) {
    RunGuarded([this] { TrayIcon1BalloonHintClick(); });
  };
  trayIcon1_->SetBalloonActions(TForm3::BalloonActions());
  trayIcon1_->OnBalloonHintAction = [this](tray::TTrayIcon&, std::size_t action) {
    if (context_.windows.files) context_.windows.files->RunBalloonAction(action);
  };
  trayIcon1_->Loaded();
}

// The banner drawn for the screen's pixel density, so that it stays sharp
// on a high-density screen.
void TForm1::ShowBanner() {
  const qreal ratio = devicePixelRatioF();
  const QSize points(365, 81);
  QPixmap banner(ratio > 1 ? QStringLiteral(":/banner@2x.jpg") : QStringLiteral(":/banner.jpg"));
  banner = banner.scaled(points * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  banner.setDevicePixelRatio(ratio);
  image1_->setPixmap(banner);
}

// The listen glyph in the palette's button text colours, enabled and
// disabled, so that it stays visible in every skin.
void TForm1::ShowListenGlyph() {
  const QImage shape = QImage(QStringLiteral(":/listen.png"));
  QIcon icon;
  for (const auto& [mode, group] : {std::pair{QIcon::Normal, QPalette::Active},
                                    std::pair{QIcon::Disabled, QPalette::Disabled}}) {
    QImage glyph = shape.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter ink(&glyph);
    ink.setCompositionMode(QPainter::CompositionMode_SourceIn);
    ink.fillRect(glyph.rect(), palette().color(group, QPalette::ButtonText));
    ink.end();
    icon.addPixmap(QPixmap::fromImage(glyph), mode);
  }
  bitBtn1_->setIcon(icon);
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange && bitBtn1_ != nullptr) ShowListenGlyph();
  QMainWindow::changeEvent(event);
}

void TForm1::ConnectWorkEvents() {
  http_.OnWorkBegin = [this](TNetComponent*, TWorkMode, int64_t countMax) {
    SetProgress({true, std::max<int64_t>(countMax, 0), 0});
  };
  http_.OnWork = [this](TNetComponent*, TWorkMode, int64_t count) {
    SetProgress({true, progress_.maximum, count});
  };
  http_.OnWorkEnd = [this](TNetComponent*, TWorkMode) {
    SetProgress({false, progress_.maximum, 0});
  };
  // Every wait of the client runs the window's messages; during a body the
  // bar shows the bytes that have arrived so far, also between the events.
  http_.OnIdle = [this](TNetComponent*) {
    if (progress_.visible && http_.Work(TWorkMode::wmRead).level > 0) {
      const int64_t arrived = http_.ReadWorkReceived();
      SetProgress({true, progress_.maximum,
                   progress_.maximum > 0 ? std::min(arrived, progress_.maximum) : arrived});
    } else {
      ProcessMessages();
    }
  };
}

void TForm1::SetProgress(TProgress progress) {
  progress_ = progress;
  // The bar repaints itself at every change of its value: it takes the
  // newest state when the window's messages run.
  if (!progressShowPending_) {
    progressShowPending_ = true;
    QMetaObject::invokeMethod(this, &TForm1::ShowProgress, Qt::QueuedConnection);
  }
  ProcessMessages();
}

namespace {

// A track over 2 GiB is counted in larger steps, so the bar still moves; a
// maximum of 0 shows a bar that is busy without a measure.
void ShowBytes(QProgressBar& bar, int64_t value, int64_t maximum) {
  int shift = 0;
  while ((std::max(maximum, value) >> shift) > INT32_MAX) ++shift;
  bar.setRange(0, static_cast<int>(maximum >> shift));
  bar.setValue(static_cast<int>(value >> shift));
}

}  // namespace

void TForm1::ShowProgress() {
  progressShowPending_ = false;
  ShowBytes(*progressBar1_, progress_.value, progress_.maximum);
  if (progress_.visible) {
    progressHide_.stop();
    progressBar1_->show();
  } else if (!progressHide_.isActive()) {
    progressHide_.start();
  }
}

void TForm1::PlaceProgressBar() {
  progressBar1_->setParent(statusBar1_);
  progressBar1_->setValue(100);
  progressBar1_->setGeometry(0, 2,
                             statusBar1_->findChild<QLabel*>(QStringLiteral("Panel0"))->width(),
                             statusBar1_->height() - 2);
  progressBar1_->hide();
  // Over the whole status line also when the window grows.
  (new TAnchoredControls(statusBar1_, statusBar1_->size()))
      ->Anchor(progressBar1_, TAnchoredControls::kStretchWidth);
}

void TForm1::ShowDownloadsBar(int64_t received, int64_t total) {
  ShowBytes(*downloadsBar_, received, std::max<int64_t>(total, 0));
  if (!downloadsBar_->isHidden()) return;
  downloadsBar_->show();
  panel0_->setIndent(downloadsBar_->width() + kDownloadsBarGap);
}

void TForm1::HideDownloadsBar() {
  downloadsBar_->hide();
  panel0_->setIndent(-1);
}

void TForm1::ShowCommandStates() {
  const bool free = requestsRunning_ == 0;
  // The download, copy and play commands need a title to act on; several
  // titles go to the background queue, also while a request runs.
  const bool titles = TitleCount() > 0;
  const bool queueable = free || SelectedTitleRows().size() > 1;
  button1_->setEnabled(searchButtonEnabled_ && free);
  startSearchItem_->setEnabled(free);
  reconnectItem_->setEnabled(free);
  button2_->setEnabled(downloadButtonsEnabled_ && titles && queueable);
  bitBtn1_->setEnabled(downloadButtonsEnabled_ && titles);
  downloadItem_->setEnabled(fileMenuEnabled_ && titles && queueable);
  copyLinkItem_->setEnabled(fileMenuEnabled_ && titles);
  playItem_->setEnabled(fileMenuEnabled_ && titles);
}
