#pragma once
// CDirectBitmapView: draws a given picture at its top-left corner, or nothing when it has none.
// Its size is fixed when it is made.
//
//   auto* splash = new CDirectBitmapView(QSize(64, 64));
//   splash->SetImage(image);    // a null image clears it

#include <QImage>
#include <QWidget>

class CDirectBitmapView : public QWidget {
  Q_OBJECT
 public:
  explicit CDirectBitmapView(QSize size, QWidget* parent = nullptr);

  void SetImage(const QImage& image);
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};
