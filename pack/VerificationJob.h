#pragma once
// What the verification of a finished Hamper asks of the job that runs it: the stop flag and the
// progress display (see CPackJob; `hamper verify` has its own).

#include <cstdint>

#include "pack/SimpleProgressInfo.h"

class MVerificationJob {
 public:
  virtual ~MVerificationJob() = default;
  virtual bool TakeStopRequest() = 0;
  virtual void ShowProgress(const CSimpleProgressInfo& record) = 0;
  virtual void UpdateProgress(const CSimpleProgressInfo& record) = 0;
  // The per-mille value of the whole job when `done` items of the stage are finished.
  virtual std::int32_t ComputeProgress(std::int64_t done) = 0;
};
