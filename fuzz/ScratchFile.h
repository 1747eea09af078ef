#pragma once
// One file per fuzzing process for parsers that take a path rather than a media: each input is
// written over it before the parser runs. It lies in /dev/shm where that is writable (no disk
// traffic at thousands of runs a second), else in $TMPDIR or /tmp, carries the process id in its
// name, and is removed when the process ends normally.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The path of this process's scratch file, holding exactly these bytes.
const std::string& WriteScratchFile(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
