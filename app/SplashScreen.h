#pragma once
// CSplashScreen: a borderless top-level window that shows one picture, sized to the picture and
// centred on the screen. The application shows it while it starts and closes it itself.
//
//   CSplashScreen splash(ApplicationPicture());
//   splash.show();

#include <QPixmap>
#include <QWidget>

class CSplashScreen : public QWidget {
  Q_OBJECT
 public:
  explicit CSplashScreen(const QPixmap& picture);
};
