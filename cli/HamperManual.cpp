#include "cli/HamperManual.h"

#include "cli/ManPage.h"
#include "items/SLCLibrarySearch.h"

namespace cli {

std::string HamperManPage(const CLI::App& app, const std::string& version) {
  CManPage page;
  page.name = "hamper";
  page.section = "1";
  page.source = "hamper " + version;
  page.summary = "pack a content folder into a Hamper (.hmp) and inspect Hampers";
  page.description =
      "hamper turns one content folder for the Tessel music application (samples, sliced loops, instrument "
      "patches, songs, MIDI files, pictures and description files) into one read-only content bank, a Hamper. "
      "Every file is checked, audio is stored in the lossless VORP code, the references inside songs and "
      "patches are rewritten, and the finished file is read back and verified.\n"
      "\n"
      "A question (replace an existing output, leave out a bad file) is asked when a terminal is attached. "
      "Without one the safe answer is taken, No, unless an option answers it in advance. Progress on a "
      "terminal is one redrawn line; Ctrl-C stops a pack as the window's Stop button does.\n"
      "\n"
      "Songs and patches may refer to other installed Hampers. They are looked for in the folders named with "
      "--hampers, in the folder of the hamper program, and in a folder \"Hampers\" at the top of each CD-ROM "
      "volume.\n"
      "\n"
      "A command never leaves a partly written output behind: it writes beside the output, and gives the file "
      "its name only when it is complete and its data is on the disk; a Hamper it replaces stays as it was "
      "until then. hamper extract is the inverse of hamper pack: the folder it writes packs into the same "
      "Hamper again. hamper-packer(1) packs in a window, and opens finished Hampers to look inside, listen, "
      "verify and extract.";

  CManSection exitStatus{"EXIT STATUS", "", {}};
  exitStatus.terms = {{"0", "Success."},
                      {"1", "The command ended after an error or an alert."},
                      {"2", "The command line was not understood."},
                      {"130", "Stopped with Ctrl-C."}};
  page.sections.push_back(exitStatus);

  CManSection environment{"ENVIRONMENT", "", {}};
  environment.terms = {
      {"HAMPER_SLC_LIBRARY",
       "The sliced-loop library, or the folder that holds it, when --slc-library is not given. Either one, "
       "when given, is the only place looked in."},
      {"TMPDIR",
       "The folder for the temporary files of check, verify, refs and info, which unpack published songs "
       "(default: /tmp). pack writes nothing there: it works beside its output."}};
  page.sections.push_back(environment);

  CManSection files{"FILES", "", {}};
  std::string libraryText =
      "The sliced-loop library, which checks sliced-loop files (.sl2, .slc, .slv). Without --slc-library or "
      "HAMPER_SLC_LIBRARY it is looked for beside the hamper program";
  if (const std::string installed = SLCLibraryInstallFolder(); !installed.empty()) {
    files.terms.push_back({installed + "/" + kSLCLibraryFileName, libraryText + ", then here."});
  } else {
    files.terms.push_back({kSLCLibraryFileName, libraryText + "."});
  }
  page.sections.push_back(files);

  CManSection examples{"EXAMPLES", "", {}};
  examples.terms = {
      {"hamper check \"Harbor Drums\"", "Reports every problem a pack of the folder would meet, writing nothing."},
      {"hamper pack \"Harbor Drums\" -o \"Harbor Drums.hmp\"", "Packs the folder."},
      {"hamper verify \"Harbor Drums.hmp\" --source \"Harbor Drums\"",
       "Checks every item and compares it with its source file."},
      {"hamper list \"Harbor Drums.hmp\"", "Prints the description and the index."},
      {"hamper info \"Harbor Drums.hmp\"",
       "Sums the Hamper up: its items by kind, the other Hampers it needs, its audio against 16-bit PCM."},
      {"hamper extract \"Harbor Drums.hmp\" \"Harbor Drums again\"",
       "Writes every item and the description back as a content folder that packs into the same Hamper."},
      {"hamper extract \"Harbor Drums.hmp\" Out --only Drums",
       "Writes the items of the folder Drums into Out, each sample in the format its name says (WAV or AIFF)."}};
  page.sections.push_back(examples);

  page.sections.push_back({"SEE ALSO", "hamper-packer(1)", {}});
  return WriteManPage(app, page);
}

}  // namespace cli
