#pragma once
// CBorderTransparentStaticTextView: static text drawn straight onto the window's background,
// without a box of its own, that the user can select and copy with the mouse. It keeps its size
// whatever the text: a view with room for several lines wraps the text at word boundaries when
// asked to; what still does not fit is shortened with "..." (the whole text is then its tool
// tip), so a long name or path never widens the window or pushes other views about. The context
// menu's Copy takes the whole text, not only what shows.
//
//   auto* comments = new CBorderTransparentStaticTextView(2, Qt::ElideRight, /*wrap=*/true);
//   comments->SetText(text);

#include <QLabel>
#include <QString>

class CBorderTransparentStaticTextView : public QLabel {
  Q_OBJECT
 public:
  // `lines`: how many lines of text the view has room for; `wrap`: long lines flow onto the next.
  explicit CBorderTransparentStaticTextView(int lines = 1, Qt::TextElideMode elide = Qt::ElideRight, bool wrap = false,
                                            QWidget* parent = nullptr);

  // Line breaks ("\n") separate lines.
  void SetText(const QString& text);
  const QString& Text() const { return text_; }
  int LineCount() const { return lines_; }
  // The lines as they show now, after wrapping and shortening.
  QStringList ShownLines() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void Relayout();

  int lines_;
  Qt::TextElideMode elide_;
  bool wrap_;
  QString text_;
};
