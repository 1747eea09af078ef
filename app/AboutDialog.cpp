#include "app/AboutDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppTexts.h"
#include "app/ApplicationPicture.h"
#include "app/TextConversion.h"
#include "framework/resources/ResourceCache.h"

namespace {

// The content view: the picture with the version beneath it.
class CAboutContents : public QWidget {
 public:
  explicit CAboutContents(const std::string& version) {
    auto* picture = new QLabel;
    picture->setObjectName("aboutPicture");
    picture->setPixmap(ApplicationPicture());
    auto* versionLine = new QLabel;
    versionLine->setObjectName("aboutVersion");
    versionLine->setTextFormat(Qt::PlainText);
    versionLine->setText(DisplayText(NSFerryman::GetString(apptext::kApplicationVersion, {version})));
    versionLine->setAlignment(Qt::AlignHCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(picture);
    layout->addWidget(versionLine);
  }
};

}  // namespace

CAboutDialog::CAboutDialog(const std::string& version, QWidget* parent) : QDialog(parent) {
  setObjectName("aboutDialog");
  setWindowTitle(DisplayText(NSFerryman::GetString(apptext::kAboutTitle)));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  auto* ok = new QPushButton(DisplayText(NSFerryman::GetString(apptext::kOK)));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new CAboutContents(version));
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}
