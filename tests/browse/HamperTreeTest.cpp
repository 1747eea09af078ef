// The tree of an index: folders from the leading parts of Paths (letter case significant), items
// in index order, hidden folders, the records below a selection and the filter.

#include <gtest/gtest.h>

#include "browse/HamperTree.h"

namespace {

CHamperIndex Index(const std::vector<std::pair<std::string, bool>>& paths) {
  std::vector<CHamperIndexEntry> index;
  std::uint32_t offset = 0;
  for (const auto& [path, hidden] : paths) {
    index.emplace_back(11, 10, offset, hidden, path);
    offset += 10;
  }
  return CHamperIndex::FromEntries(index);
}

// The tree as text: each node's path, one per line, depth first, hidden ones marked.
std::string Shape(const CHamperTree& tree, std::uint32_t node = CHamperTree::kRoot, const std::vector<bool>* shown = nullptr) {
  std::string out;
  for (std::uint32_t child : tree.Node(node).children) {
    if (shown && !(*shown)[child]) continue;
    const CHamperTree::CNode& n = tree.Node(child);
    out += tree.PathOf(child) + (n.IsFolder() ? "/" : "") + (n.hidden ? " (hidden)" : "") + "\n";
    out += Shape(tree, child, shown);
  }
  return out;
}

TEST(HamperTree, FoldersComeFromPathsInIndexOrder) {
  struct CCase {
    const char* name;
    std::vector<std::pair<std::string, bool>> paths;
    std::string shape;
  };
  const std::vector<CCase> cases = {
      {"nothing", {}, ""},
      {"two items in one folder", {{"Kits:A.wav", false}, {"Kits:B.wav", false}}, "Kits/\nKits:A.wav\nKits:B.wav\n"},
      {"letter case makes two folders",
       {{"Drums:Kick.wav", false}, {"drums:Snare.wav", false}},
       "Drums/\nDrums:Kick.wav\ndrums/\ndrums:Snare.wav\n"},
      {"a folder met again later keeps its place",
       {{"A:x", false}, {"B:y", false}, {"A:z", false}},
       "A/\nA:x\nA:z\nB/\nB:y\n"},
      {"a folder of hidden items only is hidden",
       {{"SPLASH.JPG", true}, {"Pad:a.pad", true}, {"Mixed:b.pad", true}, {"Mixed:c.wav", false}},
       "SPLASH.JPG (hidden)\nPad/ (hidden)\nPad:a.pad (hidden)\nMixed/\nMixed:b.pad (hidden)\nMixed:c.wav\n"},
      {"an item and a folder of one name", {{"A", false}, {"A:b", false}}, "A\nA/\nA:b\n"},
      {"empty names are names", {{":x", false}, {"y:", false}}, "/\n:x\ny/\ny:\n"},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto index = Index(c.paths);
    const CHamperTree tree(index);
    EXPECT_EQ(Shape(tree), c.shape);
    for (std::size_t r = 0; r < index.Size(); ++r) EXPECT_EQ(tree.PathOf(tree.NodeOfRecord(r)), index.Path(r));
  }
}

TEST(HamperTree, FoldersSumWhatIsBelowThem) {
  const auto index = Index({{"A:x", false}, {"A:B:y", false}, {"A:B:z", false}, {"w", false}});
  const CHamperTree tree(index);
  const std::uint32_t a = tree.Node(CHamperTree::kRoot).children[0];
  EXPECT_EQ(tree.Node(a).items, 3u);
  EXPECT_EQ(tree.Node(a).size, 30u);
  EXPECT_EQ(tree.Node(CHamperTree::kRoot).items, 4u);
}

TEST(HamperTree, RecordsBelowASelectionComeOnceInIndexOrder) {
  const auto index = Index({{"A:x", false}, {"B:y", false}, {"A:C:z", false}, {"w", false}});
  const CHamperTree tree(index);
  const std::uint32_t a = tree.Node(CHamperTree::kRoot).children[0];
  const std::uint32_t z = tree.NodeOfRecord(2);
  const std::uint32_t w = tree.NodeOfRecord(3);
  EXPECT_EQ(tree.RecordsBelow(std::vector<std::uint32_t>{w, z, a}), (std::vector<std::size_t>{0, 2, 3}));
  EXPECT_EQ(tree.RecordsBelow(std::vector<std::uint32_t>{}), std::vector<std::size_t>{});
}

TEST(HamperTree, FilterShowsMatchesWhatIsBelowThemAndTheFoldersAbove) {
  const auto index = Index({{"SPLASH.JPG", true},
                            {"Drums:Kick.wav", false},
                            {"Drums:Snare.wav", false},
                            {"Kicks:Deep.wav", false},
                            {"Loops:Groove.wav", false},
                            {"Loops:x.pad", true}});
  const CHamperTree tree(index);
  struct CCase {
    std::string text;
    bool withHidden;
    std::string shape;
  };
  const std::vector<CCase> cases = {
      {"", false, "Drums/\nDrums:Kick.wav\nDrums:Snare.wav\nKicks/\nKicks:Deep.wav\nLoops/\nLoops:Groove.wav\n"},
      {"", true,
       "SPLASH.JPG (hidden)\nDrums/\nDrums:Kick.wav\nDrums:Snare.wav\nKicks/\nKicks:Deep.wav\nLoops/\nLoops:Groove.wav\n"
       "Loops:x.pad (hidden)\n"},
      {"KICK", false, "Drums/\nDrums:Kick.wav\nKicks/\nKicks:Deep.wav\n"},
      {"pad", false, ""},
      {"pad", true, "Loops/\nLoops:x.pad (hidden)\n"},
      {"nothing like it", true, ""},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.text + (c.withHidden ? " with hidden" : ""));
    const std::vector<bool> shown = tree.Filter(c.text, c.withHidden);
    EXPECT_EQ(Shape(tree, CHamperTree::kRoot, &shown), c.shape);
  }
}

}  // namespace
