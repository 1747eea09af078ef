// `hamper-author SCRIPT OUTPUT`: writes the host song, published song or patch that an authoring
// script describes (tools/README.md). With OUTPUT a folder, the file is named after the script
// with the kind's usual extension.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "framework/media/Exceptions.h"
#include "framework/media/FileSpec.h"
#include "framework/media/MemoryMedia.h"
#include "framework/media/OpenFile.h"
#include "tools/authoring/AuthoringScript.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::cout << "Usage: hamper-author SCRIPT OUTPUT\n"
                 "Writes the song, published song or patch that the authoring script describes.\n"
                 "OUTPUT may be a folder: the file is then named after the script, with the kind's extension.\n";
    return 0;
  }
  if (argc != 3) {
    std::cerr << "Usage: hamper-author SCRIPT OUTPUT\n";
    return 2;
  }
  const std::string scriptPath = argv[1];
  try {
    std::ifstream in(scriptPath, std::ios::binary);
    if (!in) throw NSFerryman::XFileNotFound(scriptPath + ": cannot be read");
    std::stringstream text;
    text << in.rdbuf();
    const CAuthoredFile file = ParseAuthoringScript(text.str());
    fs::path output = argv[2];
    if (fs::is_directory(output)) output /= fs::path(scriptPath).stem().string() + AuthoredExtension(file.kind);
    NSFerryman::CMemoryMedia bytes;
    WriteAuthoredFile(file, bytes);
    NSFerryman::COpenFile out(NSFerryman::CFileSpec(output.string()), 0, 0);
    out.Write(bytes.GetSize(), bytes.Data());
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "hamper-author: " << scriptPath << ": " << e.what() << "\n";
    return 1;
  }
}
