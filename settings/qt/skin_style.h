#pragma once
// The skins' style: Fusion, with the edges of boxes, fields, lists and bars drawn
// in a colour that stands out from the window and the field (3:1), which
// Fusion's own edges, a shade darker than the window, do not on a dark skin.

#include <QProxyStyle>

class TSkinStyle : public QProxyStyle {
 public:
  TSkinStyle();

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget = nullptr) const override;
};
