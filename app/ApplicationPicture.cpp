#include "app/ApplicationPicture.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "app/AppTexts.h"
#include "app/TextConversion.h"
#include "framework/resources/ResourceCache.h"

namespace {

constexpr int kPictureWidth = 460;
constexpr int kPictureHeight = 200;

const QColor kWicker(0xD9, 0xA0, 0x5B);
const QColor kWickerDark(0x9C, 0x61, 0x27);
const QColor kWickerEdge(0x6B, 0x3F, 0x14);
const QColor kWave(0x7F, 0xE3, 0xD6);

}  // namespace

void PaintEmblem(QPainter& painter, const QRectF& area) {
  const double side = std::min(area.width(), area.height());
  const QPointF origin(area.center().x() - side / 2, area.center().y() - side / 2);
  const auto at = [&](double x, double y) { return origin + QPointF(x * side, y * side); };

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);

  // The sound wave, behind the handle: it rises from the basket.
  QPainterPath wave;
  for (int i = 0; i <= 64; ++i) {
    const double t = i / 64.0;
    const double envelope = std::sin(t * M_PI);
    const double y = 0.30 - 0.13 * envelope * std::sin(t * 6 * M_PI);
    if (i == 0) {
      wave.moveTo(at(0.22 + 0.56 * t, y));
    } else {
      wave.lineTo(at(0.22 + 0.56 * t, y));
    }
  }
  painter.setPen(QPen(kWave, side * 0.035, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(wave);

  // The handle.
  QPainterPath handle;
  handle.moveTo(at(0.24, 0.47));
  handle.cubicTo(at(0.26, 0.02), at(0.74, 0.02), at(0.76, 0.47));
  painter.setPen(QPen(kWickerDark, side * 0.055, Qt::SolidLine, Qt::RoundCap));
  painter.drawPath(handle);

  // The basket, narrowing towards its foot.
  QPainterPath body;
  body.moveTo(at(0.10, 0.48));
  body.lineTo(at(0.90, 0.48));
  body.lineTo(at(0.79, 0.93));
  body.quadTo(at(0.78, 0.96), at(0.74, 0.96));
  body.lineTo(at(0.26, 0.96));
  body.quadTo(at(0.22, 0.96), at(0.21, 0.93));
  body.closeSubpath();
  QLinearGradient fill(at(0, 0.48), at(0, 0.96));
  fill.setColorAt(0, kWicker);
  fill.setColorAt(1, kWickerDark);
  painter.setPen(QPen(kWickerEdge, side * 0.02));
  painter.setBrush(fill);
  painter.drawPath(body);

  // The weave: bands across and slanted rods.
  painter.save();
  painter.setClipPath(body);
  painter.setPen(QPen(kWickerEdge, side * 0.018));
  for (double y : {0.63, 0.78}) painter.drawLine(at(0.0, y), at(1.0, y));
  for (int i = 0; i < 9; ++i) {
    const double x = 0.14 + i * 0.09;
    painter.drawLine(at(x, 0.48), at(x + 0.05, 0.96));
  }
  painter.restore();

  // The rim.
  painter.setPen(QPen(kWickerEdge, side * 0.02));
  painter.setBrush(kWickerDark);
  painter.drawRoundedRect(QRectF(at(0.06, 0.42), at(0.94, 0.52)), side * 0.03, side * 0.03);

  painter.restore();
}

QPixmap ApplicationPicture() {
  QPixmap picture(kPictureWidth, kPictureHeight);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);

  QLinearGradient band(0, 0, 0, kPictureHeight);
  band.setColorAt(0, QColor(0x17, 0x32, 0x4D));
  band.setColorAt(1, QColor(0x2A, 0x6F, 0x73));
  painter.fillRect(picture.rect(), band);

  PaintEmblem(painter, QRectF(24, 30, 140, 140));

  const QRectF text(180, 62, kPictureWidth - 200, 40);
  const QString name = DisplayText(NSFerryman::GetString(apptext::kApplicationName));
  QFont title = painter.font();
  title.setBold(true);
  // The largest size up to 30 pixels at which the name fits.
  for (int size = 30; size >= 12; --size) {
    title.setPixelSize(size);
    if (QFontMetricsF(title).horizontalAdvance(name) <= text.width()) break;
  }
  painter.setFont(title);
  painter.setPen(Qt::white);
  painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, name);

  // Beneath the name, a row of level bars echoes the wave of the emblem.
  painter.setPen(Qt::NoPen);
  painter.setBrush(kWave);
  for (int i = 0; i < 24; ++i) {
    const double level = 0.25 + 0.75 * std::fabs(std::sin(i * 0.55)) * std::sin((i + 1) * M_PI / 25);
    const double height = 26 * level;
    painter.drawRoundedRect(QRectF(182 + i * 9, 128 - height / 2, 5, height), 2, 2);
  }
  return picture;
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    PaintEmblem(painter, QRectF(0, 0, size, size));
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}
