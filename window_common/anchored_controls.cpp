#include "anchored_controls.h"

#include <QEvent>
#include <QWidget>

TAnchoredControls::TAnchoredControls(QWidget* parent, QSize designed)
    : QObject(parent), parent_(parent), designed_(designed) {
  parent->installEventFilter(this);
}

void TAnchoredControls::Anchor(QWidget* control, int anchors) {
  anchored_.push_back({control, control->geometry(), anchors});
  Place(anchored_.back());
}

bool TAnchoredControls::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent_ && event->type() == QEvent::Resize) {
    for (const TAnchored& anchored : anchored_) Place(anchored);
  }
  return QObject::eventFilter(watched, event);
}

void TAnchoredControls::Place(const TAnchored& anchored) const {
  // Never smaller than laid out: a parent below its designed size clips.
  const int grownWidth = std::max(0, parent_->width() - designed_.width());
  const int grownHeight = std::max(0, parent_->height() - designed_.height());
  QRect geometry = anchored.designed;
  if (anchored.anchors & kFollowRight) geometry.translate(grownWidth, 0);
  if (anchored.anchors & kFollowBottom) geometry.translate(0, grownHeight);
  if (anchored.anchors & kKeepCentred) geometry.translate(grownWidth / 2, grownHeight / 2);
  if (anchored.anchors & kStretchWidth) geometry.setWidth(geometry.width() + grownWidth);
  if (anchored.anchors & kStretchHeight) geometry.setHeight(geometry.height() + grownHeight);
  anchored.control->setGeometry(geometry);
}
