#include "app/BorderTransparentStaticTextView.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kPreferredWidth = 360;
constexpr int kMinimumWidth = 120;

}  // namespace

CBorderTransparentStaticTextView::CBorderTransparentStaticTextView(int lines, Qt::TextElideMode elide, QWidget* parent)
    : QWidget(parent), lines_(std::max(lines, 1)), elide_(elide) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CBorderTransparentStaticTextView::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  // Drawn by hand, the text is not seen by screen readers unless it is given to them.
  setAccessibleName(text);
  UpdateToolTip();
  update();
}

QSize CBorderTransparentStaticTextView::sizeHint() const {
  return {kPreferredWidth, fontMetrics().lineSpacing() * lines_};
}

QSize CBorderTransparentStaticTextView::minimumSizeHint() const {
  return {kMinimumWidth, fontMetrics().lineSpacing() * lines_};
}

void CBorderTransparentStaticTextView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  const QFontMetrics metrics = fontMetrics();
  const QStringList lines = text_.split('\n');
  for (int i = 0; i < std::min<int>(lines_, static_cast<int>(lines.size())); ++i) {
    QString line = lines[i];
    // A last line that hides lines below it says so.
    if (i == lines_ - 1 && lines.size() > lines_) line += QStringLiteral(" ") + QChar(0x2026);
    line = metrics.elidedText(line, elide_, width());
    painter.drawText(QRect(0, i * metrics.lineSpacing(), width(), metrics.lineSpacing()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line);
  }
}

void CBorderTransparentStaticTextView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UpdateToolTip();
}

void CBorderTransparentStaticTextView::UpdateToolTip() {
  const QFontMetrics metrics = fontMetrics();
  const QStringList lines = text_.split('\n');
  bool shortened = lines.size() > lines_;
  for (const QString& line : lines) shortened = shortened || metrics.horizontalAdvance(line) > width();
  setToolTip(shortened ? text_ : QString());
}
