#include "skin_manager.h"

#include <QApplication>
#include <QEvent>
#include <QStyle>
#include <QStyleFactory>

#include "skin_looks.h"
#include "skin_style.h"

TSkinManager::TSkinManager(QObject* parent)
    : QObject(parent),
      desktopStyle_(QApplication::style()->name()),
      desktopPalette_(QApplication::palette()) {
  engine_.OnChange = [this] { ShowLook(); };
}

TSkinManager::~TSkinManager() {
  if (skinShown_) ShowDesktopLook();
}

void TSkinManager::ShowLook() {
  if (!engine_.Active()) {
    if (skinShown_) ShowDesktopLook();
  } else if (skinShown_ != engine_.SkinName()) {
    if (!skinShown_) {
      // One style under every skin, so that only the colours differ.
      QApplication::setStyle(new TSkinStyle());
      if (TWindowSnapping::PlatformPlacesWindows()) qApp->installEventFilter(&snapping_);
    }
    QApplication::setPalette(SkinPalette(engine_.SkinName()));
    skinShown_ = engine_.SkinName();
  }
  // The windows take a new palette from posted events; deliver them now,
  // so that the look is on screen when the switch returns.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::ApplicationPaletteChange);
  emit Changed();
}

void TSkinManager::ShowDesktopLook() {
  qApp->removeEventFilter(&snapping_);
  QApplication::setStyle(QStyleFactory::create(desktopStyle_));
  QApplication::setPalette(desktopPalette_);
  skinShown_.reset();
}
