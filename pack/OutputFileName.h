#pragma once
// The file name a Hamper gets after its Name, for front ends that propose an output file:
//
//   CFileSpec output = folder.FileSpec(HamperFileName(description.GetName()));   // "Drums.hmp"
//
// A Name is free text, a file name is not: "/" and control characters (line breaks among them)
// become "_", a Name that is "." or ".." becomes "_", and a Name too long for one file name is cut
// (at a character boundary of UTF-8 text) so that the name with ".hmp" stays within 255 bytes.
// An empty Name gives "".

#include <string>

inline constexpr char kHamperExtension[] = ".hmp";

std::string HamperFileName(const std::string& hamperName);
