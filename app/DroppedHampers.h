#pragma once
// The Hamper files (.hmp, any letter case) among the local files a drag carries; each opens in a
// browser window of its own.

#include <QStringList>

class QMimeData;

QStringList DroppedHamperFiles(const QMimeData* data);
