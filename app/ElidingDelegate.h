#pragma once
// CElidingDelegate: a column of a view whose cut text loses its middle or its end, whatever the
// view's own mode: a path keeps its file's name (middle), a kind or a cause reads from its start
// (end).
//
//   view->setItemDelegateForColumn(kCause, new CElidingDelegate(Qt::ElideRight, view));

#include <QStyledItemDelegate>

class CElidingDelegate : public QStyledItemDelegate {
 public:
  CElidingDelegate(Qt::TextElideMode mode, QObject* parent) : QStyledItemDelegate(parent), mode_(mode) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = mode_;
  }

 private:
  Qt::TextElideMode mode_;
};
