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
