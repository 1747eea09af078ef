#include "app/VolumeSearchDialog.h"

#include <QApplication>
#include <QTimer>

#include "app/AlertDialog.h"

bool CVolumeSearchDialog::WaitForVolume(const NSFerryman::CAlert& alert, int pollMilliseconds,
                                        const std::function<bool()>& isMounted) {
  if (isMounted()) return true;
  CAlertDialog box(alert, QApplication::activeWindow());
  bool mounted = false;
  QTimer poll;
  poll.setInterval(pollMilliseconds);
  QObject::connect(&poll, &QTimer::timeout, &box, [&] {
    if (!isMounted()) return;
    mounted = true;
    box.accept();
  });
  poll.start();
  box.Run();
  return mounted;
}
