#include "app/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

// Room for a frame that is not known before the window is shown: a title bar and borders.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;

}  // namespace

void FitWindowIntoScreen(QWidget& window, QSize wanted) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!screen) {
    window.resize(wanted);
    return;
  }
  // In the screen's own units, which already allow for its scale.
  const QRect area = screen->availableGeometry();
  const QSize room(std::max(1, area.width() - kFrameWidth), std::max(1, area.height() - kFrameHeight));
  // A window that cannot be made small enough would still open past the screen's edge: its
  // minimum gives way too.
  window.setMinimumSize(window.minimumSize().boundedTo(room));
  const QSize size = wanted.expandedTo(window.minimumSizeHint().boundedTo(room)).boundedTo(room);
  window.resize(size);
  // A dialog is placed over its window, inside the screen, when it is shown.
  if (window.parentWidget()) return;
  window.move(area.x() + std::max(0, (area.width() - size.width() - kFrameWidth) / 2),
              area.y() + std::max(0, (area.height() - size.height() - kFrameHeight) / 2));
}

QRect BesideRect(const QRect& anchor, QSize size, QSize minimum, const QRect& area) {
  size = size.boundedTo(area.size());
  minimum = minimum.boundedTo(size);
  const int roomRight = area.x() + area.width() - (anchor.x() + anchor.width());
  const int roomLeft = anchor.x() - area.x();
  const bool right = size.width() <= roomRight || (size.width() > roomLeft && roomRight >= roomLeft);
  const int room = std::max(0, right ? roomRight : roomLeft);
  if (size.width() > room) size.setWidth(std::max(minimum.width(), room));
  int x = right ? anchor.x() + anchor.width() : anchor.x() - size.width();
  x = std::clamp(x, area.x(), area.x() + area.width() - size.width());
  const int y = std::clamp(anchor.y(), area.y(), area.y() + area.height() - size.height());
  return {QPoint(x, y), size};
}

void PlaceBeside(QWidget& window, const QWidget& anchor, QSize wanted) {
  const QScreen* screen = anchor.screen() ? anchor.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  // The frame is known once a window has been shown; before that, room is left for one.
  const QRect frame = window.frameGeometry();
  const QRect inner = window.geometry();
  const bool framed = window.testAttribute(Qt::WA_WState_Created) && frame.size() != inner.size();
  const QSize extra = framed ? frame.size() - inner.size() : QSize(kFrameWidth, kFrameHeight);
  const QRect placed = BesideRect(anchor.frameGeometry(), window.size().expandedTo(wanted) + extra,
                                  window.minimumSizeHint().expandedTo(window.minimumSize()) + extra,
                                  screen->availableGeometry());
  window.resize(placed.size() - extra);
  window.move(placed.topLeft());
}
