#include "app/BrowserStatusBar.h"

#include <QLabel>

#include "app/BrowserTexts.h"
#include "app/LocaleFormat.h"
#include "app/TextConversion.h"
#include "browse/HamperSummary.h"
#include "framework/resources/ResourceCache.h"

namespace {

QLabel* MakeLabel(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QString Text(NSFerryman::ResourceId id, const std::vector<std::string>& arguments) {
  return DisplayText(NSFerryman::GetString(id, arguments));
}

}  // namespace

CBrowserStatusBar::CBrowserStatusBar(QWidget* parent)
    : QStatusBar(parent), items_(MakeLabel("itemCount")), selection_(MakeLabel("selectionSize")), audio_(MakeLabel("audioRatio")) {
  setObjectName("browserStatusBar");
  setSizeGripEnabled(true);
  addWidget(items_, 1);
  addPermanentWidget(selection_);
  addPermanentWidget(audio_);
}

void CBrowserStatusBar::ShowItems(std::size_t shown, std::size_t all) {
  if (shown == all) {
    items_->setText(all == 1 ? Text(browsertext::kOneItem, {}) : Text(browsertext::kItemsInAll, {CountText(all).toStdString()}));
  } else {
    items_->setText(Text(browsertext::kItemsShown, {CountText(shown).toStdString(), CountText(all).toStdString()}));
  }
}

void CBrowserStatusBar::ShowSelection(std::size_t items, std::uint64_t bytes) {
  selection_->setText(items == 0 ? QString()
                                 : Text(browsertext::kSelectionSize, {CountText(items).toStdString(), SizeText(bytes).toStdString()}));
  selection_->setToolTip(items == 0 ? QString() : ExactBytesText(bytes));
  selection_->setVisible(items != 0);
}

void CBrowserStatusBar::ShowAudio(const CHamperSummary& summary) {
  audio_->setVisible(summary.samples != 0);
  audio_->setText(Text(browsertext::kAudioRatio, {SizeText(summary.audioBytes).toStdString(), SizeText(summary.pcmBytes).toStdString(),
                                                  PercentText(summary.audioBytes, summary.pcmBytes).toStdString()}));
  audio_->setToolTip(Text(browsertext::kAudioRatio, {ExactBytesText(summary.audioBytes).toStdString(),
                                                     ExactBytesText(summary.pcmBytes).toStdString(),
                                                     PercentText(summary.audioBytes, summary.pcmBytes).toStdString()}));
}
