#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ProgressLine.h"

namespace {

using cli::CProgressLine;
using State = CProgressLine::CState;

constexpr std::int32_t kNoBar = CSimpleProgressInfo::kNoProgress;
const std::string kKick = "2/5 Packing: \r\"Drum Kits:Acoustic:Kick 01.wav\"";
const std::string kLongPath =
    "2/5 Packing: \r\"Sound Library:Orchestral Percussion:Timpani:Rolls:Timpani Roll Crescendo Fortissimo 03.wav\"";

struct CRenderCase {
  State state;
  std::size_t width;
  std::string line;
};

TEST(ProgressLineTest, RendersOneLineFittedToTheWidth) {
  const std::vector<CRenderCase> cases = {
      {{"Packing files...", 450, kKick, "Time remaining: 10 minutes"},
       120,
       "Packing files... [#########-----------] 2/5 Packing: \"Drum Kits:Acoustic:Kick 01.wav\"  Time remaining: 10 minutes"},
      // Narrow: the time goes, the path keeps its end.
      {{"Packing files...", 450, kKick, "Time remaining: 10 minutes"}, 40, "Packing files... [####------] ...1.wav\""},
      // A long path is cut from its front and the time stays.
      {{"Packing files...", 450, kLongPath, "Time remaining: 10 minutes"},
       120,
       "Packing files... [#########-----------] ...:Rolls:Timpani Roll Crescendo Fortissimo 03.wav\"  Time remaining: 10 minutes"},
      // Characters, not bytes, are counted and cut.
      {{"Packing files...", 450, "2/5 Packing: \r\"Gr\xc3\xb6\xc3\x9f" "e \xc3\x9c" "bungskl\xc3\xa4nge\"", ""},
       40,
       "Packing files... [####------] ...l\xc3\xa4nge\""},
      {{"Scanning folder structure...", kNoBar, "Scanning folder: \"Kits\"", ""},
       40,
       "Scanning folder structure... ... \"Kits\""},
      {{"Scanning folder structure...", kNoBar, "Scanning folder: \"Kits\"", ""},
       120,
       "Scanning folder structure... Scanning folder: \"Kits\""},
      {{"Verifying final file...", 999, "", ""}, 120, "Verifying final file... [###################-]"},
      {{"Verifying final file...", -3, "", "Time remaining: Estimating..."},
       80,
       "Verifying final file... [--------------------]  Time remaining: Estimating..."},
      // Texts from the folder are escaped.
      {{"Packing files...", 1000, "2/5 Packing: \r\"evil\x1b[2Jname\x9b.wav\"", ""},
       120,
       "Packing files... [####################] 2/5 Packing: \"evil\\x1b[2Jname\\x9b.wav\""},
      {{"Packing files...", 450, kKick, ""}, 10, "Packing f"},
      {{"Packing files...", 450, kKick, ""}, 0, "P"},
  };
  for (const CRenderCase& c : cases) {
    EXPECT_EQ(CProgressLine::Render(c.state, c.width), c.line) << "width " << c.width << ": " << c.line;
  }
}

std::string Drawn(const std::string& line) { return "\r" + line + "\x1b[K"; }

TEST(ProgressLineTest, OnATerminalRedrawsInPlaceAtMostEveryTwoHundredMilliseconds) {
  std::ostringstream out;
  CProgressLine line(out, CProgressLine::EMode::kTerminal, 80);
  line.Show({"Verifying contents of files...", 0, "1/5 Verifying...", ""}, 1000);
  line.Show({"Verifying contents of files...", 80, "1/5 Verifying: \r\"a.wav\"", ""}, 1100);  // too soon
  line.Show({"Verifying contents of files...", 100, "1/5 Verifying: \r\"b.wav\"", ""}, 1201);
  line.Show({"Packing files...", 160, "2/5 Packing...", ""}, 1250);  // a new stage: at once
  line.Show({"Packing files...", 160, "2/5 Packing...", ""}, 1500);  // nothing new to draw
  line.Show({"Packing files...", 200, "2/5 Packing: \r\"c.wav\"", ""}, 1600);
  line.Finish();  // draws what is still due, then ends the line
  line.Finish();
  EXPECT_EQ(out.str(), Drawn("Verifying contents of files... [--------------------] 1/5 Verifying...") +
                           Drawn("Verifying contents of files... [##------------------] 1/5 Verifying: \"b.wav\"") +
                           Drawn("Packing files... [###-----------------] 2/5 Packing...") +
                           Drawn("Packing files... [####----------------] 2/5 Packing: \"c.wav\"") + "\n");
}

TEST(ProgressLineTest, ClearingMakesRoomAndTheNextStateIsDrawnAtOnce) {
  std::ostringstream out;
  {
    CProgressLine line(out, CProgressLine::EMode::kTerminal, 120);
    line.Show({"Verifying contents of files...", 0, "1/5 Verifying...", ""}, 0);
    line.Clear();
    out << "Bad format: Kick.wav\n";
    line.Show({"Verifying contents of files...", 10, "1/5 Verifying: \r\"Snare.wav\"", ""}, 50);
  }  // ending it ends the line
  EXPECT_EQ(out.str(), Drawn("Verifying contents of files... [--------------------] 1/5 Verifying...") + "\r\x1b[K" +
                           "Bad format: Kick.wav\n" +
                           Drawn("Verifying contents of files... [--------------------] 1/5 Verifying: \"Snare.wav\"") +
                           "\n");
}

TEST(ProgressLineTest, ElsewhereOneLinePerStageAndNothingWhenQuiet) {
  const std::vector<State> job = {
      {"Scanning folder...", kNoBar, "", ""},
      {"Scanning folder structure...", kNoBar, "Scanning folder: \"Kits\"", ""},
      {"Scanning folder structure...", kNoBar, "Scanning folder: \"Loops\"", ""},
      {"Verifying contents of files...", 0, "1/5 Verifying...", ""},
      {"Verifying contents of files...", 80, "1/5 Verifying: \r\"Kits:Kick.wav\"", "Time remaining: 10 minutes"},
      {"Verif\x1b[1m", 90, "", ""},
      {"", 0, "", ""},
  };
  std::ostringstream plain;
  std::ostringstream quiet;
  {
    CProgressLine plainLine(plain, CProgressLine::EMode::kPlainLines, 80);
    CProgressLine quietLine(quiet, CProgressLine::EMode::kQuiet, 80);
    std::uint64_t now = 0;
    for (const State& state : job) {
      plainLine.Show(state, now);
      quietLine.Show(state, now);
      now += 1000;
    }
    plainLine.Clear();
    plainLine.Finish();
  }
  EXPECT_EQ(plain.str(), "Scanning folder...\nScanning folder structure...\nVerifying contents of files...\nVerif\\x1b[1m\n");
  EXPECT_EQ(quiet.str(), "");
}

}  // namespace
