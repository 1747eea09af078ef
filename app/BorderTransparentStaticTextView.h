#pragma once
// CBorderTransparentStaticTextView: static text drawn straight onto the window's background,
// without a box of its own. It keeps its size whatever the text: each line that does not fit is
// shortened with "..." (the whole text is then its tool tip), and lines beyond its line count are
// left out, so a long name or path never widens the window or pushes other views about.
//
//   auto* name = new CBorderTransparentStaticTextView(1);
//   name->SetText(text);

#include <QString>
#include <QWidget>

class CBorderTransparentStaticTextView : public QWidget {
  Q_OBJECT
 public:
  // `lines`: how many lines of text the view has room for.
  explicit CBorderTransparentStaticTextView(int lines = 1, Qt::TextElideMode elide = Qt::ElideRight,
                                            QWidget* parent = nullptr);

  // Line breaks ("\n") separate lines.
  void SetText(const QString& text);
  const QString& Text() const { return text_; }
  int LineCount() const { return lines_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateToolTip();

  int lines_;
  Qt::TextElideMode elide_;
  QString text_;
};
