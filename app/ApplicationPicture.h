#pragma once
// The application's picture and icon, drawn in code so that they stay sharp at any size: a
// wicker hamper with a sound wave rising out of it. The picture (the emblem beside the
// application's name, on a dark band) is what the splash screen and the about dialog show; the
// icon is the emblem alone. app/icons/hamper-packer.svg is the same drawing for the desktop.

#include <QIcon>
#include <QPixmap>
#include <QRectF>

class QPainter;

// Paints the emblem to fill `area` (best square).
void PaintEmblem(QPainter& painter, const QRectF& area);
// The picture, 460 x 200 device-independent pixels.
QPixmap ApplicationPicture();
QIcon ApplicationIcon();
