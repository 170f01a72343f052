#include "skin_style.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

#include "skin_looks.h"

namespace {

void DrawEdge(const QStyleOption& option, QPainter& painter) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(EdgeColour(option.palette));
  painter.drawRect(option.rect.adjusted(0, 0, -1, -1));
  painter.restore();
}

}  // namespace

TSkinStyle::TSkinStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void TSkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
  QProxyStyle::drawPrimitive(element, option, painter, widget);
  switch (element) {
    case PE_IndicatorCheckBox:
    case PE_PanelLineEdit:
      DrawEdge(*option, *painter);
      break;
    case PE_Frame: {
      const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
      if (frame != nullptr && frame->lineWidth > 0) DrawEdge(*option, *painter);
      break;
    }
    default:
      break;
  }
}

void TSkinStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
  QProxyStyle::drawControl(element, option, painter, widget);
  // Over the whole bar, its fill included: the fill reaches its edge.
  if (element == CE_ProgressBar) DrawEdge(*option, *painter);
  if (element != CE_ShapedFrame) return;
  const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
  if (frame != nullptr && frame->frameShape != QFrame::NoFrame && frame->lineWidth > 0)
    DrawEdge(*option, *painter);
}

void TSkinStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
  QProxyStyle::drawComplexControl(control, option, painter, widget);
  const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
  if (control == CC_ComboBox && combo != nullptr && combo->frame) DrawEdge(*option, *painter);
}
