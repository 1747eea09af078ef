#include "app/HamperDescriptionView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QUrl>
#include <QVBoxLayout>

#include "app/AppTexts.h"
#include "app/BrowserWidgets.h"
#include "app/HamperDetailsPane.h"
#include "app/TextConversion.h"
#include "browse/HamperContents.h"
#include "framework/media/AsciiCase.h"

namespace {

constexpr std::uint32_t kSplashSide = 64;

}  // namespace

CHamperDescriptionView::CHamperDescriptionView(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* header = new QHBoxLayout;
  splashView_ = new QLabel;
  splashView_->setObjectName("splashView");
  splashView_->setFixedSize(kSplashSide, kSplashSide);
  header->addWidget(splashView_, 0, Qt::AlignTop);
  auto* texts = new QGridLayout;
  texts->setColumnStretch(1, 1);
  nameValue_ = MakeValueLabel("nameValue");
  QFont bold = nameValue_->font();
  bold.setBold(true);
  nameValue_->setFont(bold);
  commentsValue_ = MakeValueLabel("commentsValue");
  urlValue_ = MakeValueLabel("urlValue");
  urlValue_->setOpenExternalLinks(true);
  urlValue_->setTextInteractionFlags(Qt::TextBrowserInteraction);
  copyrightValue_ = MakeValueLabel("copyrightValue");
  int row = 0;
  for (const auto& [id, value] : {std::pair{apptext::kNameLabel, nameValue_}, std::pair{apptext::kCommentsLabel, commentsValue_},
                                  std::pair{apptext::kURLLabel, urlValue_}, std::pair{apptext::kCopyrightLabel, copyrightValue_}}) {
    auto* label = new QLabel(BrowserText(id));
    label->setTextFormat(Qt::PlainText);
    texts->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignTop);
    texts->addWidget(value, row++, 1);
  }
  header->addLayout(texts, 1);
  layout->addLayout(header);
  problemLine_ = MakeValueLabel("problemLine");
  problemLine_->setStyleSheet(QStringLiteral("color: #c01010;"));
  layout->addWidget(problemLine_);
}

void CHamperDescriptionView::Show(const CHamperContents& contents) {
  const CHamperDescription& d = contents.Description();
  nameValue_->setText(DisplayText(d.GetName()));
  commentsValue_->setText(DisplayText(d.GetComments()));
  copyrightValue_->setText(DisplayText(d.GetCopyright()));
  const QUrl url(DisplayText(d.GetURL()), QUrl::StrictMode);
  if (url.isValid() && (url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https"))) {
    urlValue_->setTextFormat(Qt::RichText);
    urlValue_->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                           .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), DisplayText(d.GetURL()).toHtmlEscaped()));
  } else {
    urlValue_->setTextFormat(Qt::PlainText);
    urlValue_->setText(DisplayText(d.GetURL()));
  }
  QStringList problems;
  for (const std::string& problem : contents.Problems()) problems.push_back(DisplayText(problem));
  problemLine_->setText(problems.join(QLatin1Char('\n')));
  problemLine_->setVisible(!problems.isEmpty());

  // The splash is the hidden top-level picture named SPLASH.JPG.
  splashView_->clear();
  for (std::uint32_t node : contents.Tree().Node(CHamperTree::kRoot).children) {
    const CHamperTree::CNode& n = contents.Tree().Node(node);
    if (n.IsFolder() || !NSFerryman::AsciiEqualsIgnoringCase(n.name, "SPLASH.JPG")) continue;
    try {
      splashView_->setPixmap(QPixmap::fromImage(HamperPicturePreview(contents, n.record, kSplashSide)));
    } catch (const NSFerryman::XBase&) {
      // A splash that does not decode shows nothing; Verify names it.
    }
    break;
  }
}
