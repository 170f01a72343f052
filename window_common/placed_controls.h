#pragma once
// Controls placed as on a form: found by name, at fixed positions; and the
// small menu icons, from the desktop's theme or our own.

#include <QIcon>
#include <QLabel>
#include <QWidget>
#include <string>

#include "qt_text.h"

template <class Control>
Control* Place(QWidget* parent, const char* name, QRect geometry) {
  auto* control = new Control(parent);
  control->setObjectName(QLatin1String(name));
  control->setGeometry(geometry);
  return control;
}

// The same with a caption (Windows-1251).
template <class Control>
Control* Place(QWidget* parent, const char* name, const std::string& caption, QRect geometry) {
  auto* control = Place<Control>(parent, name, geometry);
  control->setText(QStringFromCp1251(caption));
  return control;
}

// A plain-text label that takes the size of its caption.
inline QLabel* PlaceCaption(QWidget* parent, const char* name, const std::string& caption,
                            QPoint at) {
  auto* label = Place<QLabel>(parent, name, QRect(at, QSize()));
  label->setTextFormat(Qt::PlainText);
  label->setText(QStringFromCp1251(caption));
  label->adjustSize();
  return label;
}

// What a screen reader says of a control that shows no text of its own
// (Windows-1251): its name, and what it does where the name is not enough.
inline void NameForScreenReaders(QWidget* control, const std::string& name,
                                 const std::string& description = {}) {
  control->setAccessibleName(QStringFromCp1251(name));
  if (!description.empty()) control->setAccessibleDescription(QStringFromCp1251(description));
}

// The theme's icon of that name, else ":/menu/<ownName>.png".
inline QIcon MenuIcon(const char* themeName, const char* ownName) {
  return QIcon::fromTheme(QLatin1String(themeName),
                          QIcon(QStringLiteral(":/menu/%1.png").arg(QLatin1String(ownName))));
}
