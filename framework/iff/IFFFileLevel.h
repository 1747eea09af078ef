#pragma once
// One open level of a CIFFFileReader or CIFFFileWriter: the chunk it stands for (its start is in
// the parent level's media) and the reader or the writer over the window of that chunk's
// contents. A level of a reader has no writer and the other way round.

#include <memory>

#include "framework/iff/IFFChunk.h"
#include "framework/iff/IFFReader2.h"
#include "framework/iff/IFFWriter2.h"

namespace NSFerryman {

struct CIFFFileLevel {
  CIFFChunk chunk;
  std::unique_ptr<CIFFReader2> reader;
  std::unique_ptr<CIFFWriter2> writer;
};

}  // namespace NSFerryman
