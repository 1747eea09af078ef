#pragma once
// CABCProgressInfo: the base of the records a long operation fills to tell its host how far it
// is. It carries nothing itself; hosts copy the concrete record they know (CSimpleProgressInfo).

class CABCProgressInfo {
 public:
  virtual ~CABCProgressInfo() = default;

 protected:
  CABCProgressInfo() = default;
  CABCProgressInfo(const CABCProgressInfo&) = default;
  CABCProgressInfo& operator=(const CABCProgressInfo&) = default;
};
