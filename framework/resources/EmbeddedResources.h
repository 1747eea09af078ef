#pragma once
#include <cstddef>

namespace NSFerryman {

// One text resource script compiled into the program from resources/TYPE-NUMBER.txt.
struct EmbeddedResource {
  const char* name;             // "SSTR-128"; nullptr ends the table
  const unsigned char* bytes;   // the script, followed by one zero byte
  std::size_t size;             // bytes of the script without that zero
};

// The table of every embedded script, ended by an entry whose name is nullptr.
const EmbeddedResource* EmbeddedResources();

}  // namespace NSFerryman
