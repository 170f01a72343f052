#include "title_list.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "qt_text.h"

TTitleListModel::TTitleListModel(QObject* parent) : QAbstractListModel(parent) {
  showTimer_.setSingleShot(true);
  connect(&showTimer_, &QTimer::timeout, this, &TTitleListModel::ShowAdded);
}

void TTitleListModel::Clear() {
  beginResetModel();
  titles_.clear();
  shown_ = 0;
  endResetModel();
}

void TTitleListModel::Add(const std::string& title) {
  titles_.push_back(title);
  if (showTimer_.isActive()) return;
  const qint64 shownAgo = sinceShown_.isValid() ? sinceShown_.elapsed() : kShowIntervalMs;
  showTimer_.start(static_cast<int>(std::max<qint64>(0, kShowIntervalMs - shownAgo)));
}

void TTitleListModel::ShowAdded() {
  showTimer_.stop();
  if (shown_ >= titles_.size()) return;
  sinceShown_.start();
  beginInsertRows({}, static_cast<int>(shown_), static_cast<int>(titles_.size()) - 1);
  shown_ = titles_.size();
  endInsertRows();
}

int TTitleListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_);
}

QVariant TTitleListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return QStringFromCp1251(titles_[static_cast<size_t>(index.row())]);
}

void TTitleRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                     : (option.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
  const bool selected = option.state & QStyle::State_Selected;
  painter->save();
  painter->fillRect(option.rect,
                    option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base));
  painter->setPen(
      option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  painter->setFont(option.font);
  painter->setClipRect(option.rect);
  // Plain drawing: no mnemonics, no markup, no eliding.
  painter->drawText(option.rect.adjusted(2, 0, 0, 0),
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
  painter->restore();
  if (option.state & QStyle::State_HasFocus) {
    QStyleOptionFocusRect focus;
    focus.initFrom(option.widget);
    focus.rect = option.rect;
    focus.state = option.state | QStyle::State_KeyboardFocusChange;
    focus.backgroundColor =
        option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
  }
}

QSize TTitleRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return {option.rect.width(), kRowHeight};
}
