#include "app/Mnemonics.h"

QString WithMnemonic(const QString& label, QString& taken) {
  QString escaped = label;
  escaped.replace('&', "&&");
  for (qsizetype i = 0; i < escaped.size(); ++i) {
    const QChar c = escaped[i];
    if (c == '&') {
      ++i;  // an escaped "&", never a mnemonic
      continue;
    }
    if (!c.isLetterOrNumber() || taken.contains(c.toLower())) continue;
    taken += c.toLower();
    return escaped.left(i) + '&' + escaped.mid(i);
  }
  return escaped;
}
