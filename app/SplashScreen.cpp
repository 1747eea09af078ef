#include "app/SplashScreen.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

CSplashScreen::CSplashScreen(const QPixmap& picture)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("splashScreen");
  auto* view = new QLabel;
  view->setPixmap(picture);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view);
  const QSize size = picture.deviceIndependentSize().toSize();
  setFixedSize(size);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
  }
}
