#include "app/LocaleFormat.h"

#include <QLocale>

#include "app/BrowserTexts.h"
#include "app/TextConversion.h"
#include "framework/resources/ResourceCache.h"

QString CountText(std::uint64_t count) { return QLocale().toString(static_cast<qulonglong>(count)); }

QString SizeText(std::uint64_t bytes) {
  return QLocale().formattedDataSize(static_cast<qint64>(bytes), 1, QLocale::DataSizeSIFormat);
}

QString ExactBytesText(std::uint64_t bytes) {
  return DisplayText(NSFerryman::GetString(browsertext::kExactBytes, {CountText(bytes).toStdString()}));
}

QString SizeWithBytesText(std::uint64_t bytes) {
  return DisplayText(NSFerryman::GetString(browsertext::kSizeWithBytes,
                                           {SizeText(bytes).toStdString(), CountText(bytes).toStdString()}));
}

QString PercentText(std::uint64_t part, std::uint64_t whole) {
  if (whole == 0) return QStringLiteral("-");
  return QLocale().toString(100.0 * static_cast<double>(part) / static_cast<double>(whole), 'f', 1) +
         QStringLiteral(" %");
}
