#pragma once
// Thrown when a decoder needs bits beyond the end of its stream: the stream is shorter than its
// frame count says. A read failure, so that handlers of XRead report it like any other.

#include "framework/media/Exceptions.h"

class XUnderflowOnInputBitStream : public NSFerryman::XRead {
 public:
  using XRead::XRead;
  XUnderflowOnInputBitStream() : XRead("the audio stream ends before its last frame") {}
};
