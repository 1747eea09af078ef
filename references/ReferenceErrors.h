#pragma once
// Failures of reference checking.

#include "framework/media/Exceptions.h"

// An internal reference that resolves nowhere. The reference-group walks turn it into the "Bad
// reference" alert naming the file and the referenced name.
class XBadReference : public NSFerryman::XBase {
 public:
  using XBase::XBase;
};

// A search for a volume or item that the user cancelled; callers pass it on unchanged.
class XUserCancelledSearch : public NSFerryman::XBase {
 public:
  using XBase::XBase;
};
