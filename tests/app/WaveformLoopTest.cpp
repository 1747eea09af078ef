// A looped sample's waveform marks its loop: two markers at the columns of its first and last
// frame, whatever the width, the loop between them shaded, in a colour of the palette.

#include <gtest/gtest.h>

#include <QImage>

#include "app/BrowserTestSupport.h"
#include "app/PaletteColours.h"
#include "app/WaveformView.h"

using namespace browsertest;

namespace {

CVORPSampleHeader Looped(std::uint32_t frames, std::uint8_t mode, std::uint32_t start, std::uint32_t end) {
  CVORPSampleHeader header;
  header.frameCount = frames;
  header.loopMode = mode;
  header.loopStart = start;
  header.loopEnd = end;
  header.sampleRate = 44100;
  return header;
}

TEST(WaveformLoop, MarkersSitAtTheLoopsFirstAndLastFrameAtAnyWidth) {
  using Columns = std::optional<std::pair<std::uint32_t, std::uint32_t>>;
  struct CCase {
    const char* name;
    CVORPSampleHeader header;
    int width;  // of the view; its columns are two fewer (the frame)
    Columns columns;
  };
  const std::vector<CCase> cases = {
      {"a quarter to three quarters", Looped(1000, kVORPLoopForward, 250, 750), 102, Columns({25, 74})},
      {"as many columns as frames", Looped(1000, kVORPLoopForward, 250, 750), 1002, Columns({250, 749})},
      {"more columns than frames", Looped(1000, kVORPLoopAlternating, 250, 750), 3002, Columns({750, 2247})},
      {"an odd width", Looped(1000, kVORPLoopForward, 250, 750), 404, Columns({100, 301})},
      {"the whole sample", Looped(22050, kVORPLoopForward, 0, 22050), 480, Columns({0, 477})},
      {"one frame", Looped(1000, kVORPLoopForward, 999, 1000), 202, Columns({199, 199})},
      {"no loop", Looped(1000, kVORPLoopNone, 0, 1000), 480, std::nullopt},
      {"a loop past the frames", Looped(1000, kVORPLoopForward, 0, 1001), 480, std::nullopt},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    CWaveformView view;
    view.resize(c.width, 100);
    view.Show([] { return std::unique_ptr<NSFerryman::CMedia>(); }, c.header);
    EXPECT_EQ(view.LoopColumns(), c.columns);
    // Drawn where they are said to be: the marker's colour at both columns, the shade between
    // them, the background outside.
    const QImage image = view.grab().toImage();
    const QColor marker = PaletteColour(view.palette(), EMarkColour::kLoop);
    const QColor base = view.palette().color(QPalette::Base);
    const int y = 20;  // above the zero line
    if (!c.columns) {
      for (int x = 2; x < c.width - 2; x += 7) ASSERT_EQ(image.pixel(x, y), base.rgb()) << x;
      continue;
    }
    const int first = 1 + static_cast<int>(c.columns->first), last = 1 + static_cast<int>(c.columns->second);
    EXPECT_EQ(image.pixel(first, y), marker.rgb());
    EXPECT_EQ(image.pixel(last, y), marker.rgb());
    if (last - first > 1) {
      EXPECT_NE(image.pixel(first + 1, y), base.rgb()) << "the loop is shaded";
    }
    if (first > 2) {
      EXPECT_EQ(image.pixel(first - 1, y), base.rgb());
    }
    if (last < c.width - 3) {
      EXPECT_EQ(image.pixel(last + 1, y), base.rgb());
    }
  }
}

class WaveformLoopInBrowser : public BrowserTest {};

TEST_F(WaveformLoopInBrowser, TheDemoLoopSpansTheWholeWaveform) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  ASSERT_TRUE(window.Select("Loops:Harbor Groove.wav"));
  const CWaveformView* waveform = Find<CWaveformView>(window, "waveformView");
  EXPECT_EQ(waveform->LoopColumns(), (std::optional<std::pair<std::uint32_t, std::uint32_t>>({0, waveform->ColumnsShown() - 1})));
  ASSERT_TRUE(window.Select("Drums:Kick.wav"));
  EXPECT_EQ(waveform->LoopColumns(), std::nullopt);
}

}  // namespace
