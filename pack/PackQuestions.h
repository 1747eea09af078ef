#pragma once
// The questions a pack job may ask, and how each is to be answered: by the user (the host shows
// the question), or in advance, Yes or No, as options of the command line do. A question answered
// in advance is not shown; what it decided is in the job's report.

enum class EAnswer { kAsk, kYes, kNo };

struct CPackQuestions {
  // "File already exists": replace the output file?
  EAnswer replaceExisting = EAnswer::kAsk;
  // "Bad format" / "Unsupported format": continue without this file?
  EAnswer leaveOutBadFiles = EAnswer::kAsk;
  // "External Hampers referenced": asked for each such file only when the warning is on.
  bool warnForExternalHampers = false;
};
