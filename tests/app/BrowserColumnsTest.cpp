// The browser's columns and totals: a click on a column's title sorts by its raw values, folders
// first either way and kept while filtering; sizes in kB with the exact bytes as tooltip, lengths
// as m:ss.mmm; the items shown and in all, the filter's count and "No item matches"; Failures
// Only after a Verify of a damaged Hamper.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTest>
#include <QTreeView>

#include "app/BrowserMenus.h"
#include "app/BrowserTestSupport.h"
#include "app/BrowserTexts.h"
#include "app/HamperTreeModel.h"
#include "app/LocaleFormat.h"
#include "browse/HamperContents.h"
#include "cli/PackedContent.h"

namespace {

namespace fs = std::filesystem;
using namespace browsertest;
using BrowserColumns = BrowserTest;
using hampertest::FakeEntry;

void ClickTitle(const QTreeView& tree, int column) {
  QHeaderView* header = tree.header();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

TEST_F(BrowserColumns, ATitleClickSortsByRawValuesFoldersFirstBothWaysAndTheSortStaysWhileFiltering) {
  hampertest::FakeTree tree;
  tree.Add(FakeEntry::File("Hit 10.pad", 14, std::vector<std::uint8_t>(30, 1)));
  tree.Add(FakeEntry::Folder("b")).Add(FakeEntry::File("x.pad", 14, std::vector<std::uint8_t>(2, 1)));
  tree.Add(FakeEntry::File("Hit 2.pad", 14, std::vector<std::uint8_t>(5, 1)));
  tree.Add(FakeEntry::Folder("A")).Add(FakeEntry::File("y.pad", 14, std::vector<std::uint8_t>(1, 1)));
  tree.Add(FakeEntry::File("hit 3.pad", 14, std::vector<std::uint8_t>(2000, 1)));
  packedtest::WriteTree(f / "Sorted.hmp", tree);
  CHamperBrowserWindow& window = Open(f / "Sorted.hmp");
  // The Hamper's own order until a title is clicked.
  EXPECT_EQ(Rows(window), (std::vector<std::string>{"Hit 10.pad", "b", "Hit 2.pad", "A", "hit 3.pad"}));

  struct Case {
    int column;
    int clicks;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      // Names in the locale's order, numbers by value, case aside.
      {CHamperTreeModel::kName, 1, {"A", "b", "Hit 2.pad", "hit 3.pad", "Hit 10.pad"}},
      {CHamperTreeModel::kName, 1, {"b", "A", "Hit 10.pad", "hit 3.pad", "Hit 2.pad"}},
      // By bytes, not by the text "2.0 kB".
      {CHamperTreeModel::kSize, 1, {"A", "b", "Hit 2.pad", "Hit 10.pad", "hit 3.pad"}},
      {CHamperTreeModel::kSize, 1, {"b", "A", "hit 3.pad", "Hit 10.pad", "Hit 2.pad"}},
  };
  for (const Case& c : cases) {
    for (int i = 0; i < c.clicks; ++i) ClickTitle(*window.Tree(), c.column);
    EXPECT_EQ(Rows(window), c.rows) << "column " << c.column << ", " << window.Tree()->header()->sortIndicatorOrder();
  }
  // Sorted by Size, descending, while the filter narrows and widens.
  window.SetFilter("it");
  EXPECT_EQ(Rows(window), (std::vector<std::string>{"hit 3.pad", "Hit 10.pad", "Hit 2.pad"}));
  window.SetFilter("");
  EXPECT_EQ(Rows(window), cases[3].rows);
  // And for the contents read again.
  window.Reload();
  EXPECT_EQ(Rows(window), cases[3].rows);
}

TEST_F(BrowserColumns, SizesAndLengthsReadAsUnitsWithTheExactBytesAsTooltip) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  const CHamperTree& tree = window.Contents().Tree();
  ASSERT_TRUE(window.Select("Loops:Harbor Groove.wav"));
  const QModelIndex row = window.Tree()->currentIndex();
  const std::uint64_t bytes = tree.Node(window.Model().NodeOf(
                                            static_cast<const QSortFilterProxyModel*>(window.Tree()->model())->mapToSource(row)))
                                  .size;
  const QModelIndex size = row.siblingAtColumn(CHamperTreeModel::kSize);
  EXPECT_EQ(size.data().toString(), QLocale().formattedDataSize(static_cast<qint64>(bytes), 1, QLocale::DataSizeSIFormat));
  EXPECT_TRUE(size.data().toString().endsWith(" kB")) << size.data().toString().toStdString();
  EXPECT_EQ(size.data(Qt::ToolTipRole).toString(), QLocale().toString(static_cast<qulonglong>(bytes)) + " bytes");
  EXPECT_EQ(row.siblingAtColumn(CHamperTreeModel::kLength).data().toString(), "0:01.000");
  // Rate, Loop and Root key are shown whole beside the details at the window's first size.
  window.resize(1180, 720);
  QCoreApplication::processEvents();
  const QTreeView* view = window.Tree();
  const int right = view->header()->sectionViewportPosition(CHamperTreeModel::kRootKey) +
                    view->header()->sectionSize(CHamperTreeModel::kRootKey);
  EXPECT_LE(right, view->viewport()->width()) << window.width();
}

// A tree too large to open whole shows its top level: the columns grow as a folder opens, up to
// their widest, and one sized by hand stays as it is.
TEST_F(BrowserColumns, ColumnsGrowAsRowsShowAndStayAsTheUserSizedThem) {
  hampertest::FakeTree tree;
  FakeEntry& folder = tree.Add(FakeEntry::Folder("F"));
  for (int i = 0; i < 2001; ++i) {
    folder.Add(FakeEntry::File("A rather long name for a pad file " + std::to_string(i) + ".pad", 14, {1}));
  }
  packedtest::WriteTree(f / "Large.hmp", tree);
  CHamperBrowserWindow& window = Open(f / "Large.hmp");
  QTreeView* view = window.Tree();
  const QModelIndex top = view->model()->index(0, 0);
  ASSERT_FALSE(view->isExpanded(top));
  const int before = view->columnWidth(CHamperTreeModel::kName);
  view->expand(top);
  const int after = view->columnWidth(CHamperTreeModel::kName);
  EXPECT_GT(after, before);
  EXPECT_LE(after, 240);

  view->header()->resizeSection(CHamperTreeModel::kName, 300);
  view->collapse(top);
  view->expand(top);
  window.SetFilter("pad");
  EXPECT_EQ(view->columnWidth(CHamperTreeModel::kName), 300);
}

TEST_F(BrowserColumns, TheStatusBarAndTheFilterCountTheItemsShown) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  const QLabel* items = Find<QLabel>(window, "itemCount");
  const QLabel* count = Find<QLabel>(window, "filterCount");
  EXPECT_EQ(items->text(), "20 items");
  EXPECT_FALSE(count->isVisibleTo(&window));
  window.SetFilter("hat");
  EXPECT_EQ(items->text(), "2 of 20 items shown");
  EXPECT_EQ(count->text(), "2 items match");
  EXPECT_TRUE(count->isVisibleTo(&window));
  window.SetFilter("kick");
  EXPECT_EQ(count->text(), "1 item matches");
  window.SetFilter("no such name");
  EXPECT_EQ(count->text(), "No item matches");
  EXPECT_EQ(items->text(), "0 of 20 items shown");
  window.SetFilter("");
  window.SetShowHidden(false);
  EXPECT_EQ(items->text(), "19 of 20 items shown");

  // The selection's items and size; the audio against 16-bit PCM.
  const QLabel* selection = Find<QLabel>(window, "selectionSize");
  EXPECT_FALSE(selection->isVisibleTo(&window));
  ASSERT_TRUE(window.Select("Drums"));
  std::uint64_t bytes = 0;
  for (std::size_t record : window.SelectedRecords()) bytes += window.Contents().Index().ItemSize(record);
  EXPECT_EQ(selection->text(), "6 selected (" + SizeText(bytes) + ")");
  EXPECT_TRUE(Find<QLabel>(window, "audioRatio")->text().startsWith("Audio: ")) << Find<QLabel>(window, "audioRatio")->text().toStdString();
}

TEST_F(BrowserColumns, FailuresOnlyNarrowsToTheFailingItemsOfAVerifyWithTheFilter) {
  packedtest::Bytes bytes = test::ReadFileBytes(DemoHamper());
  for (const char* path : {"Drums:Snare.wav", "Loops:Harbor Groove.wav"}) {
    const packedtest::CRecordPlace place = packedtest::Find(bytes, path);
    for (std::size_t i = 0; i < 64; ++i) bytes[place.item + place.entry.GetSize() / 2 + i] ^= 0x5A;
  }
  test::WriteFileBytes(f / "Damaged.hmp", bytes);
  CHamperBrowserWindow& window = Open(f / "Damaged.hmp");
  QAction* failuresOnly = window.Menus().Action(command::kFailuresOnly);
  // Nothing has failed yet: nothing to narrow to.
  EXPECT_FALSE(failuresOnly->isEnabled());
  window.StartVerification();
  ASSERT_TRUE(WaitForVerification(window));
  ASSERT_TRUE(failuresOnly->isEnabled());
  failuresOnly->trigger();
  EXPECT_TRUE(failuresOnly->isChecked());
  EXPECT_EQ(Rows(window), (std::vector<std::string>{"Drums", "Loops"}));
  const QModelIndex drums = window.Tree()->model()->index(0, 0);
  EXPECT_EQ(Rows(window, drums), std::vector<std::string>{"Snare.wav"});
  EXPECT_EQ(Find<QLabel>(window, "itemCount")->text(), "2 of 20 items shown");
  // With the name filter.
  window.SetFilter("groove");
  EXPECT_EQ(Rows(window), std::vector<std::string>{"Loops"});
  window.SetFilter("kick");
  EXPECT_EQ(Find<QLabel>(window, "filterCount")->text(), "No item matches");
  window.SetFilter("");
  failuresOnly->trigger();
  EXPECT_EQ(Rows(window).size(), 7u);
}

}  // namespace
