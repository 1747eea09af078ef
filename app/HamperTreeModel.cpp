#include "app/HamperTreeModel.h"

#include <QApplication>
#include <QIcon>
#include <QPalette>
#include <QStyle>

#include "app/BrowserTexts.h"
#include "app/LocaleFormat.h"
#include "app/PaletteColours.h"
#include "app/TextConversion.h"
#include "browse/HamperContents.h"
#include "browse/ItemFormat.h"
#include "browse/ItemKind.h"
#include "browse/SampleFacts.h"
#include "framework/resources/ResourceCache.h"

namespace {

QString Text(NSFerryman::ResourceId id, const std::vector<std::string>& arguments = {}) {
  return DisplayText(NSFerryman::GetString(id, arguments));
}

// Names in the collator's order, but a run of digits by its value: "Hit 2" before "Hit 10" (not
// every collator has a numeric mode).
int CompareNames(const QCollator& collator, const QString& a, const QString& b) {
  qsizetype i = 0;
  qsizetype j = 0;
  while (i < a.size() && j < b.size()) {
    const bool digits = a[i].isDigit();
    if (digits != b[j].isDigit()) break;
    qsizetype ei = i;
    qsizetype ej = j;
    while (ei < a.size() && a[ei].isDigit() == digits) ++ei;
    while (ej < b.size() && b[ej].isDigit() == digits) ++ej;
    const QStringView x = QStringView(a).mid(i, ei - i);
    const QStringView y = QStringView(b).mid(j, ej - j);
    int order = 0;
    if (digits) {
      qsizetype zx = 0;
      qsizetype zy = 0;
      while (zx + 1 < x.size() && x[zx] == u'0') ++zx;
      while (zy + 1 < y.size() && y[zy] == u'0') ++zy;
      const QStringView vx = x.mid(zx);
      const QStringView vy = y.mid(zy);
      order = vx.size() != vy.size() ? (vx.size() < vy.size() ? -1 : 1) : vx.compare(vy);
    } else {
      order = collator.compare(x, y);
    }
    if (order != 0) return order;
    i = ei;
    j = ej;
  }
  return collator.compare(QStringView(a).mid(i), QStringView(b).mid(j));
}

QVariant SortValue(const CHamperContents& contents, const CHamperTree::CNode& n, int column) {
  if (column == CHamperTreeModel::kName) return DisplayText(n.name);
  if (column == CHamperTreeModel::kSize) return QVariant::fromValue<qulonglong>(n.size);
  if (n.IsFolder()) return {};
  const int itemType = contents.Index().ItemType(n.record);
  if (column == CHamperTreeModel::kKind) return QString::fromUtf8(ItemKindName(itemType).data());
  if (!IsSampleItemType(itemType)) return {};
  const CSampleFactsResult facts = contents.SampleFacts(n.record);
  if (!facts.ok) return {};
  const CVORPSampleHeader& h = facts.header;
  switch (column) {
    case CHamperTreeModel::kLength: return SampleSeconds(h).value_or(0);
    case CHamperTreeModel::kChannels: return static_cast<int>(h.channelCount);
    case CHamperTreeModel::kRate: return static_cast<qulonglong>(h.sampleRate);
    // By mode, then where the loop starts and ends.
    case CHamperTreeModel::kLoop:
      return QVariant::fromValue<qulonglong>((qulonglong{h.loopMode} << 56) | (qulonglong{h.loopStart} << 24) |
                                             (h.loopEnd & 0xFFFFFF));
    case CHamperTreeModel::kRootKey: return h.rootKey * 1000 + h.fineTune;
    default: return {};
  }
}

}  // namespace

CHamperTreeModel::CHamperTreeModel(const CHamperContents& contents, QObject* parent)
    : QAbstractItemModel(parent), contents_(contents) {
  MarkFailingFolders();
}

CHamperTreeModel::~CHamperTreeModel() = default;

std::uint32_t CHamperTreeModel::NodeOf(const QModelIndex& index) const {
  return index.isValid() ? static_cast<std::uint32_t>(index.internalId()) : CHamperTree::kRoot;
}

QModelIndex CHamperTreeModel::IndexOf(std::uint32_t node, int column) const {
  if (node == CHamperTree::kRoot) return {};
  return createIndex(static_cast<int>(contents_.Tree().Node(node).row), column, quintptr{node});
}

void CHamperTreeModel::SetFailures(std::map<std::size_t, std::string> failures) {
  failures_ = std::move(failures);
  MarkFailingFolders();
  const int last = static_cast<int>(contents_.Tree().Node(CHamperTree::kRoot).children.size()) - 1;
  if (last < 0) return;
  // Every row may have changed its mark: the views ask again for what they show.
  emit layoutAboutToBeChanged();
  emit layoutChanged();
  emit dataChanged(index(0, 0), index(last, kColumnCount - 1));
}

std::string CHamperTreeModel::FailureOf(std::size_t record) const {
  if (const auto found = failures_.find(record); found != failures_.end()) return found->second;
  return contents_.RecordProblem(record);
}

void CHamperTreeModel::MarkFailingFolders() {
  const CHamperTree& tree = contents_.Tree();
  failingBelow_.assign(tree.NodeCount(), 0);
  for (std::size_t record = 0; record < contents_.Index().Size(); ++record) {
    if (!failures_.contains(record) && !contents_.HasRecordProblem(record)) continue;
    for (std::uint32_t n = tree.NodeOfRecord(record);; n = tree.Node(n).parent) {
      ++failingBelow_[n];
      if (n == CHamperTree::kRoot) break;
    }
  }
}

QModelIndex CHamperTreeModel::index(int row, int column, const QModelIndex& parent) const {
  const std::uint32_t node = NodeOf(parent);
  const auto& children = contents_.Tree().Node(node).children;
  if (row < 0 || column < 0 || column >= kColumnCount || static_cast<std::size_t>(row) >= children.size()) return {};
  return createIndex(row, column, quintptr{children[static_cast<std::size_t>(row)]});
}

QModelIndex CHamperTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  return IndexOf(contents_.Tree().Node(NodeOf(child)).parent);
}

int CHamperTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  return static_cast<int>(contents_.Tree().Node(NodeOf(parent)).children.size());
}

int CHamperTreeModel::columnCount(const QModelIndex&) const { return kColumnCount; }

QVariant CHamperTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const std::uint32_t node = NodeOf(index);
  const CHamperTree::CNode& n = contents_.Tree().Node(node);
  const int column = index.column();
  const std::string failure = n.IsFolder() ? std::string() : FailureOf(n.record);
  const bool failing = n.IsFolder() ? failingBelow_[node] > 0 : !failure.empty();

  switch (role) {
    case Qt::DisplayRole: {
      if (column == kName) return DisplayText(n.name);
      if (column == kSize) return SizeText(n.size);
      if (n.IsFolder()) return {};
      const int itemType = contents_.Index().ItemType(n.record);
      if (column == kKind) return QString::fromUtf8(ItemKindName(itemType).data());
      if (!IsSampleItemType(itemType)) return {};
      const CSampleFactsResult facts = contents_.SampleFacts(n.record);
      if (!facts.ok) return column == kLength ? QStringLiteral("?") : QVariant();
      switch (column) {
        case kLength: {
          const std::optional<double> seconds = SampleSeconds(facts.header);
          return seconds ? QString::fromStdString(ClockLengthText(*seconds)) : QStringLiteral("?");
        }
        case kChannels: return QString::fromStdString(SampleChannelsText(facts.header));
        case kRate: return QString::fromStdString(SampleRateText(facts.header));
        case kLoop: return QString::fromStdString(SampleLoopText(facts.header));
        case kRootKey: return QString::fromStdString(SampleRootKeyText(facts.header));
        default: return {};
      }
    }
    case Qt::ForegroundRole:
      if (failing) return PaletteColour(QApplication::palette(), EMarkColour::kFailure);
      if (n.hidden) return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
      return {};
    case Qt::DecorationRole:
      if (column != kName) return {};
      if (failing) return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
      return QApplication::style()->standardIcon(n.IsFolder() ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    case Qt::ToolTipRole:
      if (!failing && column == kSize) return ExactBytesText(n.size);
      // The whole text of a cell that may be cut short.
      if (!failing) return data(index, Qt::DisplayRole);
      if (n.IsFolder() && failingBelow_[node] == 1) return Text(browsertext::kOneFailedBelow);
      if (n.IsFolder()) return Text(browsertext::kFailedBelow, {std::to_string(failingBelow_[node])});
      return DisplayText(failure);
    case Qt::TextAlignmentRole:
      if (column == kSize || column == kLength || column == kRate) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      return {};
    case kSortRole:
      return SortValue(contents_, n, column);
    default:
      return {};
  }
}

QVariant CHamperTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount) return {};
  const NSFerryman::ResourceId first = browsertext::kFirstColumnTitle;
  return DisplayText(NSFerryman::GetString(first + static_cast<NSFerryman::ResourceId>(section)));
}

Qt::ItemFlags CHamperTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList CHamperTreeModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* CHamperTreeModel::mimeData(const QModelIndexList& indexes) const {
  std::vector<std::uint32_t> nodes;
  for (const QModelIndex& index : indexes) {
    if (index.column() == kName) nodes.push_back(NodeOf(index));
  }
  if (nodes.empty() || !makeDragData_) return nullptr;
  return makeDragData_(std::move(nodes));
}

CHamperTreeFilter::CHamperTreeFilter(const CHamperContents& contents, QObject* parent)
    : QSortFilterProxyModel(parent), contents_(contents), shown_(contents.Tree().Filter("", true)) {
  setRecursiveFilteringEnabled(false);
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
  CountShown();
  allItems_ = shownItems_;
}

void CHamperTreeFilter::SetFilter(const QString& text, bool withHidden, bool failuresOnly) {
  shown_ = contents_.Tree().Filter(text.toUtf8().toStdString(), withHidden);
  if (failuresOnly) {
    const auto* model = static_cast<const CHamperTreeModel*>(sourceModel());
    for (std::uint32_t node = 1; node < shown_.size(); ++node) shown_[node] = shown_[node] && model->IsFailing(node);
  }
  CountShown();
  invalidateFilter();
}

void CHamperTreeFilter::CountShown() {
  const CHamperTree& tree = contents_.Tree();
  shownItems_ = 0;
  for (std::uint32_t node = 1; node < shown_.size(); ++node) {
    if (shown_[node] && !tree.Node(node).IsFolder()) ++shownItems_;
  }
}

bool CHamperTreeFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  const auto* model = static_cast<const CHamperTreeModel*>(sourceModel());
  const CHamperTree& tree = contents_.Tree();
  const bool leftFolder = tree.Node(model->NodeOf(left)).IsFolder();
  const bool rightFolder = tree.Node(model->NodeOf(right)).IsFolder();
  // Descending order reverses what this says: folders stay first only if it says the opposite then.
  if (leftFolder != rightFolder) return sortOrder() == Qt::AscendingOrder ? leftFolder : rightFolder;
  const QVariant a = left.data(CHamperTreeModel::kSortRole);
  const QVariant b = right.data(CHamperTreeModel::kSortRole);
  if (a.isValid() != b.isValid()) return a.isValid();
  if (a.isValid()) {
    const int order = a.typeId() == QMetaType::QString ? CompareNames(collator_, a.toString(), b.toString())
                      : QVariant::compare(a, b) == QPartialOrdering::Less    ? -1
                      : QVariant::compare(a, b) == QPartialOrdering::Greater ? 1
                                                                             : 0;
    if (order != 0) return order < 0;
  }
  // Equal values keep one order every time: by name.
  if (left.column() == CHamperTreeModel::kName) return false;
  return CompareNames(collator_, left.siblingAtColumn(0).data().toString(), right.siblingAtColumn(0).data().toString()) < 0;
}

bool CHamperTreeFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  const auto* model = static_cast<const CHamperTreeModel*>(sourceModel());
  const QModelIndex index = model->index(sourceRow, 0, sourceParent);
  return index.isValid() && shown_[model->NodeOf(index)];
}
