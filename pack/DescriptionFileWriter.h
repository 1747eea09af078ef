#pragma once
// The description files that give a Hamper's four texts back to a content folder, so that the
// folder reader (pack/FolderDescription.h) reads the very same bytes from them:
//
//   const CDescriptionFileSet set = DescriptionFilesFor(hamper.Description());
//   for (const CDescriptionFile& file : set.files) write(file.name, file.text);
//   for (const std::string& problem : set.problems) warn(problem);
//
// A text that is empty needs no file. The others go into one INFO.TXT, a line each
// (NAME = "..."), when its form can hold them: a value of INFO.TXT ends at a double quote and
// loses its line breaks. A text with a double quote, a carriage return or a line feed goes into a
// file of its own (NAME.TXT, COMMENTS.TXT, URL.TXT, COPYRIGHT.TXT) followed by one line feed,
// which makes the reader keep every carriage return as it is and drop only that line feed. When
// every text needs a file of its own, there is no INFO.TXT.
//
// No file can give back a text that ends in a line break (the reader drops line breaks at the
// end) or one larger than kMaxDescriptionTextSize: such a text is written without its line breaks
// at the end, or not at all, and `problems` says so. A packer never stores such texts.

#include <string>
#include <vector>

#include "container/HamperDescription.h"

struct CDescriptionFile {
  std::string name;  // "INFO.TXT", "NAME.TXT", ...
  std::string text;
};

struct CDescriptionFileSet {
  std::vector<CDescriptionFile> files;
  // Texts that the files do not give back exactly, one sentence each ("the Comments end in ...").
  std::vector<std::string> problems;
};

CDescriptionFileSet DescriptionFilesFor(const CHamperDescription& description);
