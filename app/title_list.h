#pragma once
// The title list (ListBox1): the found titles, exactly as scraped
// (Windows-1251), drawn one line per 22-pixel row in the palette's colours.

#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QStyledItemDelegate>
#include <QTimer>
#include <string>
#include <vector>

class TTitleListModel : public QAbstractListModel {
 public:
  explicit TTitleListModel(QObject* parent);

  void Clear();
  // The list holds the title at once; the view takes the titles added
  // since it last looked together, when the window's messages next run
  // and at most every kShowIntervalMs: the view lays out all its rows
  // again at each insertion, which a search of thousands of pages would
  // otherwise pay for at every page.
  void Add(const std::string& title);
  // The view takes the titles added, now.
  void ShowAdded();
  const std::vector<std::string>& Titles() const { return titles_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  static constexpr int kShowIntervalMs = 100;

 private:
  std::vector<std::string> titles_;
  size_t shown_ = 0;
  QTimer showTimer_;
  QElapsedTimer sinceShown_;
};

// Fills the row (the highlight for the selected one), draws the title 2
// pixels from the left, vertically centred, "&" as it stands and clipped at
// the right edge, and a focus rectangle on the focused row.
class TTitleRowDelegate : public QStyledItemDelegate {
 public:
  static constexpr int kRowHeight = 22;
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
