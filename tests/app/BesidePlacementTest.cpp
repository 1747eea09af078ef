// The report window opens beside the packer window, not over it: to its right, or to its left
// when the right has no room, inside the screen's available area.

#include <gtest/gtest.h>

#include <QScreen>

#include "app/AppTexts.h"
#include "app/ReportTestSupport.h"
#include "app/ScreenFit.h"

namespace {

TEST(BesidePlacementTest, AWindowGoesWhereThereIsRoomBesideTheOther) {
  const QRect screen(0, 0, 1000, 760);
  const QSize minimum(300, 200);
  const struct {
    const char* what;
    QRect area, anchor;
    QSize size;
    QRect expected;
  } cases[] = {
      {"right", screen, {50, 40, 500, 400}, {400, 300}, {550, 40, 400, 300}},
      {"left when the right is short", screen, {500, 40, 450, 400}, {400, 300}, {100, 40, 400, 300}},
      {"narrowed to the larger room", screen, {100, 40, 600, 400}, {400, 300}, {700, 40, 300, 300}},
      {"over the edge past the minimum", screen, {100, 40, 700, 400}, {400, 300}, {700, 40, 300, 300}},
      {"left over the edge", screen, {250, 40, 600, 400}, {400, 300}, {0, 40, 300, 300}},
      {"up from the bottom", screen, {50, 600, 500, 400}, {400, 300}, {550, 460, 400, 300}},
      {"down from above the area", {0, 30, 1000, 730}, {50, 0, 500, 400}, {400, 300}, {550, 30, 400, 300}},
      {"no larger than the area", screen, {0, 0, 100, 100}, {1200, 900}, {100, 0, 900, 760}},
      {"on a second screen", {1920, 0, 1600, 1000}, {2000, 100, 800, 600}, {600, 400}, {2800, 100, 600, 400}},
      {"left on a second screen", {1920, 0, 1600, 1000}, {2900, 100, 500, 600}, {600, 400}, {2300, 100, 600, 400}},
  };
  for (const auto& c : cases) {
    const QRect placed = BesideRect(c.anchor, c.size, minimum, c.area);
    EXPECT_EQ(placed, c.expected) << c.what << ": " << placed.x() << "," << placed.y() << " " << placed.width() << "x"
                                  << placed.height();
    EXPECT_TRUE(c.area.contains(placed)) << c.what;
  }
}

// The offscreen screen is 800 x 600; the packer window is made narrow enough to leave room.
TEST(BesidePlacementTest, TheReportOpensBesideThePackerWindowAndStaysWhereItIsPut) {
  reporttest::CPackedWithProblems f;
  f.Window().setMinimumSize(100, 100);
  f.Window().setGeometry(0, 0, 300, 450);
  f.Packer().DoCommand(command::kCreateHamper);
  CReportWindow& report = *f.Window().ReportWindow();
  ASSERT_TRUE(report.isVisible());
  const QRect area = report.screen()->availableGeometry();
  EXPECT_TRUE(area.contains(report.frameGeometry()));
  EXPECT_GE(report.frameGeometry().left(), f.Window().frameGeometry().right());
  EXPECT_EQ(report.frameGeometry().top(), f.Window().frameGeometry().top());

  // Closed and opened again with the packer window on the right: to its left.
  report.close();
  f.Window().move(area.right() - f.Window().frameGeometry().width() + 1, 40);
  f.Packer().DoCommand(command::kCheckFolder);
  ASSERT_TRUE(report.isVisible());
  EXPECT_TRUE(area.contains(report.frameGeometry()));
  EXPECT_LE(report.frameGeometry().right(), f.Window().frameGeometry().left());

  // A report shown while its window is open stays where the user put it.
  report.move(10, 20);
  const QPoint put = report.pos();
  f.Packer().DoCommand(command::kCheckFolder);
  EXPECT_EQ(report.pos(), put);
}

}  // namespace
