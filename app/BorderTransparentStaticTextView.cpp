#include "app/BorderTransparentStaticTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QTextLayout>

#include "app/AppTexts.h"
#include "app/Mnemonics.h"
#include "app/TextConversion.h"
#include "framework/resources/ResourceCache.h"

namespace {

constexpr int kPreferredWidth = 360;
constexpr int kMinimumWidth = 120;

// The visual lines of one paragraph wrapped at word boundaries to `width`.
QStringList Wrapped(const QString& paragraph, const QFont& font, int width) {
  QStringList lines;
  QTextLayout layout(paragraph, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    lines.push_back(paragraph.mid(line.textStart(), line.textLength()).trimmed());
  }
  layout.endLayout();
  if (lines.isEmpty()) lines.push_back(QString());
  return lines;
}

}  // namespace

CBorderTransparentStaticTextView::CBorderTransparentStaticTextView(int lines, Qt::TextElideMode elide, bool wrap,
                                                                   QWidget* parent)
    : QLabel(parent), lines_(std::max(lines, 1)), elide_(elide), wrap_(wrap) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // File names and description texts are text, never markup.
  setTextFormat(Qt::PlainText);
  setTextInteractionFlags(Qt::TextSelectableByMouse);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setWordWrap(false);
}

void CBorderTransparentStaticTextView::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  // What shows may be shortened; screen readers are given all of it.
  setAccessibleName(text);
  Relayout();
}

QStringList CBorderTransparentStaticTextView::ShownLines() const { return QLabel::text().split('\n'); }

QSize CBorderTransparentStaticTextView::sizeHint() const {
  return {kPreferredWidth, fontMetrics().lineSpacing() * lines_};
}

QSize CBorderTransparentStaticTextView::minimumSizeHint() const {
  return {kMinimumWidth, fontMetrics().lineSpacing() * lines_};
}

void CBorderTransparentStaticTextView::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Relayout();
}

void CBorderTransparentStaticTextView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QString taken;
  QAction* copy = menu.addAction(WithMnemonic(DisplayText(NSFerryman::GetString(apptext::kCopy)), taken));
  copy->setEnabled(!text_.isEmpty());
  connect(copy, &QAction::triggered, this, [this] { QApplication::clipboard()->setText(text_); });
  menu.exec(event->globalPos());
}

void CBorderTransparentStaticTextView::Relayout() {
  const QFontMetrics metrics = fontMetrics();
  const int available = std::max(width(), 1);
  QStringList lines;
  for (const QString& paragraph : text_.split('\n')) {
    if (wrap_) {
      lines += Wrapped(paragraph, font(), available);
    } else {
      lines.push_back(paragraph);
    }
  }
  const bool hidden = lines.size() > lines_;
  bool shortened = hidden;
  QStringList shown;
  for (int i = 0; i < std::min<int>(lines_, static_cast<int>(lines.size())); ++i) {
    QString line = lines[i];
    // A last line that hides lines below it says so.
    if (i == lines_ - 1 && hidden) line += QStringLiteral(" ") + QChar(0x2026);
    const QString fitted = metrics.elidedText(line, elide_, available);
    shortened = shortened || fitted != line;
    shown.push_back(fitted);
  }
  QLabel::setText(shown.join('\n'));
  setToolTip(shortened ? text_ : QString());
}
