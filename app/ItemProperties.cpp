#include "app/ItemProperties.h"

#include <QLocale>

#include "app/BrowserTexts.h"
#include "app/LocaleFormat.h"
#include "app/TextConversion.h"
#include "browse/HamperContents.h"
#include "browse/HamperSummary.h"
#include "browse/ItemFormat.h"
#include "browse/ItemKind.h"
#include "browse/SampleFacts.h"
#include "framework/resources/ResourceCache.h"

namespace {

QString Text(NSFerryman::ResourceId id, const std::vector<std::string>& arguments = {}) {
  return DisplayText(NSFerryman::GetString(id, arguments));
}

std::string Std(const QString& text) { return text.toStdString(); }

// "3 items, 1.2 kB (1,234 bytes)"; "1 item, ...".
QString ItemsAndSize(std::uint64_t items, std::uint64_t bytes) {
  if (items == 1) return Text(browsertext::kOneItemAndSize, {Std(SizeWithBytesText(bytes))});
  return Text(browsertext::kItemsAndSize, {Std(CountText(items)), Std(SizeWithBytesText(bytes))});
}

}  // namespace

std::vector<CPropertyRow> HamperProperties(const CHamperContents& contents, const CHamperSummary& summary) {
  const CHamperDescription& d = contents.Description();
  std::vector<CPropertyRow> rows{
      {Text(browsertext::kPropertyFile), PathText(contents.Path())},
      {Text(browsertext::kPropertyFileSize), SizeWithBytesText(contents.FileSize())},
      {Text(browsertext::kPropertyName), DisplayText(d.GetName())},
      {Text(browsertext::kPropertyComments), DisplayText(d.GetComments())},
      {Text(browsertext::kPropertyURL), DisplayText(d.GetURL())},
      {Text(browsertext::kPropertyCopyright), DisplayText(d.GetCopyright())},
      {Text(browsertext::kPropertyItems),
       Text(browsertext::kItemsOfHamper,
            {Std(CountText(summary.items)), Std(CountText(summary.hiddenItems)), Std(SizeWithBytesText(summary.itemBytes))})}};
  for (const CKindTotal& kind : summary.kinds) {
    rows.push_back({QString::fromUtf8(ItemKindName(kind.itemType).data()),
                    ItemsAndSize(kind.items, kind.bytes)});
  }
  const QString seconds = QLocale().toString(summary.audioSeconds, 'f', 3) + QStringLiteral(" s");
  rows.push_back({Text(browsertext::kPropertyAudio),
                  Text(browsertext::kAudioOfHamper,
                       {Std(CountText(summary.samples)), Std(seconds), Std(SizeWithBytesText(summary.audioBytes)),
                        Std(SizeWithBytesText(summary.pcmBytes)), Std(PercentText(summary.audioBytes, summary.pcmBytes))})});
  return rows;
}

std::vector<CPropertyRow> NodeProperties(const CHamperContents& contents, std::uint32_t node, const std::string& failure) {
  const CHamperTree& tree = contents.Tree();
  const CHamperTree::CNode& n = tree.Node(node);
  std::vector<CPropertyRow> rows{{Text(browsertext::kPropertyPath), DisplayText(tree.PathOf(node))}};
  if (n.IsFolder()) {
    const std::uint32_t nodes[] = {node};
    rows.push_back({Text(browsertext::kPropertyKind), Text(browsertext::kFolderKind)});
    rows.push_back({Text(browsertext::kPropertySize),
                    ItemsAndSize(tree.RecordsBelow(nodes).size(), n.size)});
    return rows;
  }
  const int itemType = contents.Index().ItemType(n.record);
  rows.push_back({Text(browsertext::kPropertyKind), QString::fromUtf8(ItemKindName(itemType).data())});
  rows.push_back({Text(browsertext::kPropertySize), SizeWithBytesText(n.size)});
  if (IsSampleItemType(itemType)) {
    const CSampleFactsResult facts = contents.SampleFacts(n.record);
    if (facts.ok) {
      const CVORPSampleHeader& h = facts.header;
      const std::uint64_t pcm = SamplePCMBytes(h);
      rows.push_back({Text(browsertext::kPropertyPCM),
                      Text(browsertext::kPCMOfSample, {Std(SizeWithBytesText(pcm)), Std(PercentText(n.size, pcm))})});
      // The columns' titles name the facts: Length, Channels, Rate, Loop, Root key.
      const auto title = [](int column) { return Text(browsertext::kFirstColumnTitle + static_cast<NSFerryman::ResourceId>(column)); };
      const std::optional<double> seconds = SampleSeconds(h);
      rows.push_back({title(3), seconds ? QString::fromStdString(ClockLengthText(*seconds)) : QStringLiteral("?")});
      rows.push_back({title(4), QString::fromStdString(SampleChannelsText(h))});
      rows.push_back({title(5), QString::fromStdString(SampleRateText(h))});
      rows.push_back({title(6), QString::fromStdString(SampleLoopText(h))});
      rows.push_back({title(7), QString::fromStdString(SampleRootKeyText(h))});
    }
  }
  if (!failure.empty()) rows.push_back({Text(browsertext::kPropertyProblem), DisplayText(failure)});
  return rows;
}
