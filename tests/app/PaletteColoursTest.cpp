// The colours that mark references and failures read on light and dark palettes alike: each
// stands out from the palette's Base by the WCAG contrast of 4.5:1 at least, keeps its hue, and
// is taken again when the palette changes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>
#include <QTextBrowser>

#include "app/BrowserTestSupport.h"
#include "app/HamperTreeModel.h"
#include "app/PaletteColours.h"
#include "browse/HamperContents.h"

using namespace browsertest;

namespace {

const std::vector<EMarkColour> kMarks = {EMarkColour::kFound, EMarkColour::kOtherHamper, EMarkColour::kUnresolved,
                                         EMarkColour::kFailure, EMarkColour::kLoop};

QPalette WithBase(QColor base, QColor text) {
  QPalette palette = QStyleFactory::create("Fusion")->standardPalette();
  palette.setColor(QPalette::Base, base);
  palette.setColor(QPalette::Text, text);
  return palette;
}

TEST(PaletteColours, ContrastIsMeasuredByTheWcagFormula) {
  EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(Qt::white, Qt::black), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
  EXPECT_NEAR(ContrastRatio(QColor(0x10, 0x70, 0x10), QColor(0x10, 0x70, 0x10)), 1.0, 1e-9);
}

TEST(PaletteColours, EveryMarkStandsOutFromLightAndDarkBases) {
  struct CCase {
    const char* name;
    QPalette palette;
    bool dark;
  };
  const std::vector<CCase> cases = {
      {"Fusion's light palette", QStyleFactory::create("Fusion")->standardPalette(), false},
      {"the dark Fusion palette", DarkFusionPalette(), true},
      {"white", WithBase(Qt::white, Qt::black), false},
      {"black", WithBase(Qt::black, Qt::white), true},
      {"a light cream", WithBase(QColor(0xFF, 0xF8, 0xE0), Qt::black), false},
      {"a dark blue", WithBase(QColor(0x10, 0x18, 0x30), Qt::white), true},
      {"a middle grey", WithBase(QColor(0x76, 0x76, 0x76), Qt::black), false},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    const QColor base = c.palette.color(QPalette::Base);
    std::vector<QColor> colours;
    for (const EMarkColour mark : kMarks) {
      const QColor colour = PaletteColour(c.palette, mark);
      EXPECT_GE(ContrastRatio(colour, base), kMinimumContrast) << colour.name().toStdString();
      // Darker than the background on a light one, lighter on a dark one.
      EXPECT_EQ(colour.lightnessF() > base.lightnessF(), c.dark) << colour.name().toStdString();
      colours.push_back(colour);
    }
    // Found, other Hamper and unresolved are told apart by hue.
    EXPECT_NE(colours[0].hslHue(), colours[1].hslHue());
    EXPECT_NE(colours[0].hslHue(), colours[2].hslHue());
    EXPECT_NE(colours[1].hslHue(), colours[2].hslHue());
  }
}

class PaletteInBrowser : public BrowserTest {
 protected:
  ~PaletteInBrowser() override { QApplication::setPalette(QPalette()); }
};

TEST_F(PaletteInBrowser, ReferencesAndFailuresFollowAPaletteChange) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  ASSERT_TRUE(window.Select("Songs:Night Shift.tps"));
  const QTextBrowser* references = Find<QTextBrowser>(window, "referencesView");
  const auto colourOf = [&](EMarkColour mark) { return PaletteColour(references->palette(), mark).name(); };
  const QString light = colourOf(EMarkColour::kUnresolved);
  EXPECT_TRUE(references->toHtml().contains(light)) << light.toStdString();

  QApplication::setPalette(DarkFusionPalette());
  QApplication::processEvents();
  const QString dark = colourOf(EMarkColour::kUnresolved);
  ASSERT_NE(dark, light);
  EXPECT_TRUE(references->toHtml().contains(dark)) << dark.toStdString();
  EXPECT_FALSE(references->toHtml().contains(light));
  EXPECT_TRUE(references->toHtml().contains(colourOf(EMarkColour::kFound)));

  // A failing row of the tree takes the failure colour of the palette in use.
  CHamperTreeModel& model = window.Model();
  model.SetFailures({{0, "damaged"}});
  const QModelIndex row = model.IndexOf(window.Contents().Tree().NodeOfRecord(0));
  EXPECT_EQ(row.data(Qt::ForegroundRole).value<QColor>(), PaletteColour(DarkFusionPalette(), EMarkColour::kFailure));
  EXPECT_GE(ContrastRatio(row.data(Qt::ForegroundRole).value<QColor>(), DarkFusionPalette().color(QPalette::Base)),
            kMinimumContrast);
}

}  // namespace
