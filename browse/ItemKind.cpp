#include "browse/ItemKind.h"

std::string_view ItemKindName(int itemType) {
  // The devices' names follow the kind, as the file types name them ("Tessel Thumpr Patch").
  switch (itemType) {
    case 1: return "Song";
    case 2: return "Synth patch (Polywinder)";
    case 3: return "Sampler patch (SX24)";
    case 4: return "Loop patch (Looptor)";
    case 5: return "Drum patch (Thumpr)";
    case 6: return "Sliced loop (Slivver 2)";
    case 7: return "Sliced loop (SLC)";
    case 8: return "Picture (TIFF)";
    case 9: return "Picture (JPEG)";
    case 10: return "MIDI file";
    case 11: return "Sample";
    case 12: return "Sliced loop (Slivver 1)";
    case 13: return "Published song";
    case 14: return "PAD data";
    default: return "Unknown item type";
  }
}
