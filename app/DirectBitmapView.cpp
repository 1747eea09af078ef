#include "app/DirectBitmapView.h"

#include <QPainter>

CDirectBitmapView::CDirectBitmapView(QSize size, QWidget* parent) : QWidget(parent) { setFixedSize(size); }

void CDirectBitmapView::SetImage(const QImage& image) {
  image_ = image;
  update();
}

void CDirectBitmapView::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), image_);
}
