#include "app/HamperDetailsPane.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/BrowserTexts.h"
#include "app/BrowserWidgets.h"
#include "app/HamperTreeModel.h"
#include "app/PaletteColours.h"
#include "app/TextConversion.h"
#include "app/WaveformView.h"
#include "browse/HamperContents.h"
#include "browse/ItemKind.h"
#include "browse/ItemReferences.h"
#include "browse/MidiFacts.h"
#include "browse/PictureFacts.h"
#include "browse/SampleFacts.h"
#include "items/PicturePreview.h"

namespace {

constexpr std::uint32_t kPictureSide = 480;
constexpr int kMidiItemType = 10;
// The settings key of the Play on select check box.
const QString kPlayOnSelectKey = QStringLiteral("PlayOnSelect");

QString KindAndSize(const CHamperIndexEntry& entry) {
  return QString::fromUtf8(ItemKindName(entry.GetItemType()).data()) + QStringLiteral(", ") +
         QLocale().toString(entry.GetSize()) + QStringLiteral(" bytes");
}

std::string Grouped(std::uint64_t n) { return QLocale().toString(static_cast<qulonglong>(n)).toStdString(); }

// A text span in the colour of its mark, for the references' HTML.
QString Coloured(const QString& html, const QPalette& palette, EMarkColour mark) {
  return QStringLiteral("<span style=\"color:%1\">%2</span>").arg(PaletteColour(palette, mark).name(), html);
}

}  // namespace

QImage HamperPicturePreview(const CHamperContents& contents, std::size_t record, std::uint32_t side) {
  const auto item = contents.OpenItem(record);
  const CBitmap32 bitmap =
      contents.Index().ItemType(record) == 9 ? DecodeJPEGPreview(*item, side) : DecodeTIFFPreview(*item, side);
  const QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), static_cast<int>(bitmap.width),
                     static_cast<int>(bitmap.height), static_cast<qsizetype>(bitmap.width) * 4, QImage::Format_ARGB32);
  return image.copy();
}

CHamperDetailsPane::CHamperDetailsPane(CDatabase& database, QWidget* parent)
    : QStackedWidget(parent), database_(database) {
  setObjectName("details");
  setMinimumWidth(240);
  otherFacts_ = MakeValueLabel("otherFacts");
  otherFacts_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  otherFacts_->setText(BrowserText(browsertext::kSelectAnItem));
  addWidget(otherFacts_);

  auto* samplePage = new QWidget;
  auto* sampleLayout = new QVBoxLayout(samplePage);
  factsLabel_ = MakeValueLabel("factsLabel");
  sampleLayout->addWidget(factsLabel_);
  waveform_ = new CWaveformView;
  waveform_->setObjectName("waveformView");
  sampleLayout->addWidget(waveform_, 1);
  auto* playRow = new QHBoxLayout;
  playButton_ = MakeBrowserButton("playButton", browsertext::kPlay);
  playRow->addWidget(playButton_);
  // As a DAW's browser auditions: a sample selected plays at once. Off unless chosen.
  playOnSelect_ = new QCheckBox(BrowserText(browsertext::kPlayOnSelect));
  playOnSelect_->setObjectName("playOnSelect");
  playOnSelect_->setChecked(QSettings().value(kPlayOnSelectKey, false).toBool());
  playRow->addWidget(playOnSelect_);
  playRow->addStretch(1);
  sampleLayout->addLayout(playRow);
  addWidget(samplePage);

  auto* picturePage = new QWidget;
  auto* pictureLayout = new QVBoxLayout(picturePage);
  pictureFacts_ = MakeValueLabel("pictureFacts");
  pictureLayout->addWidget(pictureFacts_);
  pictureView_ = new QLabel;
  pictureView_->setObjectName("pictureView");
  pictureView_->setAlignment(Qt::AlignCenter);
  pictureView_->setMinimumSize(1, 1);
  pictureLayout->addWidget(pictureView_, 1);
  addWidget(picturePage);

  referencesView_ = new QTextBrowser;
  referencesView_->setObjectName("referencesView");
  referencesView_->setOpenLinks(false);
  addWidget(referencesView_);

  connect(playButton_, &QPushButton::clicked, this, &CHamperDetailsPane::PlayClicked);
  connect(playOnSelect_, &QCheckBox::toggled, this, [](bool on) { QSettings().setValue(kPlayOnSelectKey, on); });
  connect(referencesView_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    bool ok = false;
    const std::size_t number = url.toString().toULongLong(&ok);
    if (ok && number < linkedPaths_.size()) emit ItemLinkClicked(linkedPaths_[number]);
  });
}

bool CHamperDetailsPane::PlaysOnSelect() const { return playOnSelect_->isChecked(); }

void CHamperDetailsPane::changeEvent(QEvent* event) {
  QStackedWidget::changeEvent(event);
  // The references' colours are written into their HTML: written again for the new palette.
  if (event->type() == QEvent::PaletteChange && contents_ && currentIndex() == kReferencesPage &&
      shown_ != CHamperTree::kRoot) {
    ShowReferences(contents_->Tree().Node(shown_).record);
  }
}

void CHamperDetailsPane::SetContents(const CHamperContents* contents, const CHamperTreeModel* model) {
  contents_ = contents;
  model_ = model;
  ShowNode(CHamperTree::kRoot);
}

void CHamperDetailsPane::SetPlaying(bool playing) {
  playButton_->setText(BrowserText(playing ? browsertext::kStop : browsertext::kPlay));
}

void CHamperDetailsPane::SetPlayable(bool playable, const QString& whyNot) {
  playButton_->setEnabled(playable);
  playButton_->setToolTip(whyNot);
}

void CHamperDetailsPane::ShowNode(std::uint32_t node) {
  shown_ = node;
  waveform_->Show({});
  if (!contents_ || node == CHamperTree::kRoot) {
    otherFacts_->setText(BrowserText(browsertext::kSelectAnItem));
    setCurrentIndex(kOtherPage);
    return;
  }
  const CHamperTree::CNode& n = contents_->Tree().Node(node);
  if (n.IsFolder()) return ShowOther(node);
  const int type = contents_->Index().ItemType(n.record);
  // A failing item shows why; a sample still shows its facts, which say what they can.
  if (IsSampleItemType(type)) return ShowSample(n.record);
  if (model_->FailureOf(n.record).empty()) {
    if (IsPictureItemType(type)) return ShowPicture(n.record);
    if (IsReferringItemType(type)) return ShowReferences(n.record);
  }
  ShowOther(node);
}

void CHamperDetailsPane::ShowSample(std::size_t record) {
  const CHamperIndexEntry entry = contents_->Record(record);
  const CSampleFactsResult facts = contents_->SampleFacts(record);
  QString text = DisplayText(entry.GetPath()) + QLatin1Char('\n');
  if (facts.ok) {
    const CVORPSampleHeader& h = facts.header;
    text += BrowserText(browsertext::kSampleFacts, {SampleLengthText(h), SampleChannelsText(h), SampleRateText(h),
                                                    SampleLoopText(h), SampleRootKeyText(h)});
  } else {
    text += DisplayText(facts.problem);
  }
  if (const std::string failure = model_->FailureOf(record); !failure.empty()) text += QLatin1Char('\n') + DisplayText(failure);
  factsLabel_->setText(text);
  setCurrentIndex(kSamplePage);
  // Once its page is shown, so that the waveform knows its width.
  if (facts.ok) waveform_->Show([contents = contents_, record] { return contents->OpenItem(record); }, facts.header);
}

void CHamperDetailsPane::ShowPicture(std::size_t record) {
  const CHamperIndexEntry entry = contents_->Record(record);
  QString facts = DisplayText(entry.GetPath()) + QLatin1Char('\n') + KindAndSize(entry) + QLatin1Char('\n');
  try {
    const CPictureSize size = ReadPictureSize(*contents_->OpenItem(record), entry.GetItemType());
    facts += BrowserText(browsertext::kPictureSize, {Grouped(size.width), Grouped(size.height)});
  } catch (const std::exception& e) {
    facts += DisplayText(e.what());
  }
  pictureFacts_->setText(facts);
  pictureView_->clear();
  try {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QImage preview = HamperPicturePreview(*contents_, record, kPictureSide);
    QApplication::restoreOverrideCursor();
    QPixmap pixmap = QPixmap::fromImage(preview);
    // A small picture is shown larger, its pixels kept sharp.
    const int longer = std::max(preview.width(), preview.height());
    if (longer > 0 && longer * 2 <= static_cast<int>(kPictureSide) / 2) {
      const int factor = static_cast<int>(kPictureSide) / 2 / longer;
      pixmap = pixmap.scaled(pixmap.size() * factor, Qt::KeepAspectRatio, Qt::FastTransformation);
    }
    pictureView_->setPixmap(pixmap);
  } catch (const std::exception& e) {
    QApplication::restoreOverrideCursor();
    pictureView_->setText(DisplayText(e.what()));
  }
  setCurrentIndex(kPicturePage);
}

void CHamperDetailsPane::ShowReferences(std::size_t record) {
  const CHamperIndexEntry entry = contents_->Record(record);
  QString html = QStringLiteral("<p><b>%1</b></p>").arg(DisplayText(entry.GetPath()).toHtmlEscaped());
  // The pane's palette: on a change the pane hears of it before the view it holds.
  const QPalette& palette = this->palette();
  linkedPaths_.clear();
  try {
    const std::vector<CResolvedReference> references = ReadItemReferences(*contents_, record, database_);
    html += QStringLiteral("<p>%1</p>")
                .arg(BrowserText(browsertext::kReferenceCount,
                                 {std::string(ItemKindName(entry.GetItemType())), std::to_string(references.size())})
                         .toHtmlEscaped());
    std::size_t number = 0;
    for (const CResolvedReference& r : references) {
      QString status;
      switch (r.status) {
        case EReferenceStatus::kInThisHamper:
          // A link that selects the item in the tree; its number stands for its path.
          status = QStringLiteral("<a href=\"%1\">%2</a>")
                       .arg(linkedPaths_.size())
                       .arg(Coloured(BrowserText(browsertext::kInThisHamper, {r.where}).toHtmlEscaped(), palette,
                                     EMarkColour::kFound));
          linkedPaths_.push_back(r.where);
          break;
        case EReferenceStatus::kInInstalledHamper:
          status = Coloured(BrowserText(browsertext::kInInstalledHamper, {r.where}).toHtmlEscaped(), palette,
                            EMarkColour::kOtherHamper);
          break;
        case EReferenceStatus::kUnresolved:
          status = Coloured(BrowserText(browsertext::kUnresolved, {r.where}).toHtmlEscaped(), palette,
                            EMarkColour::kUnresolved);
          break;
      }
      html += QStringLiteral("<p>%1. \"%2\": %3<br><tt>")
                  .arg(++number)
                  .arg(DisplayText(r.record.displayName).toHtmlEscaped(), status);
      for (const std::string& line : DescribeReferenceParts(r.record, [](std::string_view s) { return std::string(s); })) {
        html += QStringLiteral("&nbsp;&nbsp;&nbsp;") +
                DisplayText(line).toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;")) + QStringLiteral("<br>");
      }
      html += QStringLiteral("</tt></p>");
    }
  } catch (const std::exception& e) {
    html += QStringLiteral("<p>%1</p>").arg(Coloured(DisplayText(e.what()).toHtmlEscaped(), palette, EMarkColour::kFailure));
  }
  referencesView_->setHtml(html);
  setCurrentIndex(kReferencesPage);
}

void CHamperDetailsPane::ShowOther(std::uint32_t node) {
  const CHamperTree& tree = contents_->Tree();
  const CHamperTree::CNode& n = tree.Node(node);
  QString text = DisplayText(tree.PathOf(node)) + QLatin1Char('\n');
  if (n.IsFolder()) {
    text += n.items == 1 ? BrowserText(browsertext::kOneItemFolderFacts, {Grouped(n.size)})
                         : BrowserText(browsertext::kFolderFacts, {Grouped(n.items), Grouped(n.size)});
  } else {
    text += KindAndSize(contents_->Record(n.record));
    if (const std::string failure = model_->FailureOf(n.record); !failure.empty()) {
      text += QLatin1Char('\n') + DisplayText(failure);
    } else if (contents_->Index().ItemType(n.record) == kMidiItemType) {
      text += QLatin1Char('\n') + MidiText(n.record);
    }
  }
  otherFacts_->setText(text);
  setCurrentIndex(kOtherPage);
}

QString CHamperDetailsPane::MidiText(std::size_t record) const {
  try {
    const CMidiFacts facts = ReadMidiFacts(*contents_->OpenItem(record));
    return BrowserText(browsertext::kMidiFacts,
                       {std::to_string(facts.format), Grouped(facts.tracks), MidiDivisionText(facts)});
  } catch (const std::exception& e) {
    return DisplayText(e.what());
  }
}
