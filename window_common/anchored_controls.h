#pragma once
// Controls placed as on a form that follow their parent as it grows beyond
// the size it was laid out for: each keeps its distance to the right or
// bottom edge, or stretches with it, or keeps its place to the middle.

#include <QObject>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

class TAnchoredControls : public QObject {
 public:
  enum TAnchor {
    kStretchWidth = 1,
    kStretchHeight = 2,
    kFollowRight = 4,
    kFollowBottom = 8,
    kKeepCentred = 16,
  };

  // The parent as laid out at `designed`; the controls follow its resizes.
  TAnchoredControls(QWidget* parent, QSize designed);

  // The control, at its designed geometry, follows the parent as `anchors`
  // (TAnchor flags) tell.
  void Anchor(QWidget* control, int anchors);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct TAnchored {
    QWidget* control;
    QRect designed;
    int anchors;
  };
  void Place(const TAnchored& anchored) const;

  QWidget* parent_;
  QSize designed_;
  std::vector<TAnchored> anchored_;
};
