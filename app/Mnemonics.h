#pragma once
// Mnemonics (the underlined letter that Alt plus that letter chooses) for labels that come from
// the resources, which write them without one: the first letter of the label that no other
// label of the same menu bar, menu or dialog has taken already. An "&" of the label itself is
// kept as a character.
//
//   QString taken;
//   button->setText(WithMnemonic("Save As...", taken));   // "&Save As..."
//   other->setText(WithMnemonic("Show in Folder", taken)); // "S&how in Folder"

#include <QString>

QString WithMnemonic(const QString& label, QString& taken);
