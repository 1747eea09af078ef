#pragma once
// What the Hamper writer asks of the job that runs it: the stop flag and the progress display.
// Texts are passed as text ids with their ^0..^9 arguments; the job looks them up.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/resources/ResourceId.h"

class MHamperWriterJob {
 public:
  virtual ~MHamperWriterJob() = default;

  // Answers true once for each stop the user asked for (reads and clears the flag).
  virtual bool TakeStopRequest() = 0;

  // A new stage begins: the stage list shows `stageText` for stage `stageIndex` (0-based), and the
  // progress record gets the title `title` and the count `count`.
  virtual void EnterStage(NSFerryman::ResourceId stageText, std::uint32_t stageIndex, NSFerryman::ResourceId title,
                          std::uint64_t count) = 0;

  // The progress record's status text; the display is updated.
  virtual void ShowStatus(NSFerryman::ResourceId text, const std::vector<std::string>& arguments) = 0;

  // The progress record's count, and the share of the stage that is done as `entriesDone` out of
  // `entriesTotal` (from which the job computes its per-mille value); the display is updated.
  virtual void ShowProgress(std::uint64_t count, std::uint64_t entriesDone, std::uint64_t entriesTotal) = 0;

  // The texts the writer shows.
  static constexpr NSFerryman::ResourceId kBuildingIndexTitle = 401280007;  // "3/5 Building index..."
  static constexpr NSFerryman::ResourceId kComposingFileTitle = 401280008;  // "4/5 Composing file..."
  static constexpr NSFerryman::ResourceId kIndexingItem = 401280011;        // "3/5 Indexing: \r"^0""
  static constexpr NSFerryman::ResourceId kBuildingIndexStage = 401280031;  // "Building index for files..."
  static constexpr NSFerryman::ResourceId kComposingFileStage = 401280032;  // "Composing final file..."
  static constexpr std::uint32_t kIndexStageIndex = 2;
  static constexpr std::uint32_t kComposeStageIndex = 3;
};

