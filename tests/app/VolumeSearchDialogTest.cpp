// Waiting for a volume to be inserted: the alert goes by itself once the volume is there, and
// Cancel gives up.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "app/AlertDialog.h"
#include "app/VolumeSearchDialog.h"
#include "framework/resources/Alert.h"

namespace {

TEST(VolumeSearchDialogTest, EndsWhenTheVolumeComesOrOnCancel) {
  const NSFerryman::CAlert alert = NSFerryman::ParseAlert("[STOP]Please insert the CD labeled 'X'.[Cancel]");
  CVolumeSearchDialog search;

  int polls = 0;
  EXPECT_TRUE(search.WaitForVolume(alert, 5, [&] { return ++polls >= 4; }));
  EXPECT_EQ(polls, 4);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  QTimer::singleShot(30, [] {
    if (auto* box = qobject_cast<CAlertDialog*>(QApplication::activeModalWidget())) {
      box->Button(NSFerryman::kAlertButton1)->click();
    }
  });
  EXPECT_FALSE(search.WaitForVolume(alert, 5, [] { return false; }));
}

}  // namespace
