#include "app/PaletteColours.h"

#include <QApplication>
#include <QStyleFactory>
#include <cmath>

namespace {

double Linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
  const QColor rgb = c.toRgb();
  return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

struct CHue {
  int hue;         // degrees
  double saturation;
};

CHue HueOf(EMarkColour mark) {
  switch (mark) {
    case EMarkColour::kFound: return {120, 0.75};
    case EMarkColour::kOtherHamper: return {215, 0.8};
    case EMarkColour::kUnresolved: return {0, 0.85};
    case EMarkColour::kFailure: return {0, 0.85};
    case EMarkColour::kLoop: return {30, 0.95};
  }
  return {0, 0};
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor PaletteColour(const QPalette& palette, EMarkColour mark) {
  const QColor base = palette.color(QPalette::Base);
  const CHue hue = HueOf(mark);
  // From a middle lightness towards the side away from the background: darker on a light Base,
  // lighter on a dark one, until the colour stands out enough. Lightness 0 or 1 (black or white)
  // always does, against any background but a middle grey, where the text colour is kept.
  const bool lightBase = Luminance(base) > 0.18;
  for (int step = 0; step <= 50; ++step) {
    const double lightness = lightBase ? 0.5 - step * 0.01 : 0.5 + step * 0.01;
    const QColor colour = QColor::fromHslF(hue.hue / 360.0f, static_cast<float>(hue.saturation),
                                           static_cast<float>(lightness));
    if (ContrastRatio(colour, base) >= kMinimumContrast) return colour.toRgb();
  }
  return palette.color(QPalette::Text);
}

QPalette DarkFusionPalette() {
  QPalette p;
  const QColor window(0x35, 0x35, 0x35), base(0x23, 0x23, 0x23), text(0xE8, 0xE8, 0xE8);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, Qt::white);
  p.setColor(QPalette::Light, QColor(0x50, 0x50, 0x50));
  p.setColor(QPalette::Midlight, QColor(0x45, 0x45, 0x45));
  p.setColor(QPalette::Mid, QColor(0x60, 0x60, 0x60));
  p.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x20));
  p.setColor(QPalette::Shadow, Qt::black);
  p.setColor(QPalette::Highlight, QColor(0x3A, 0x7B, 0xD5));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(0x6C, 0xA8, 0xF0));
  p.setColor(QPalette::LinkVisited, QColor(0xB0, 0x90, 0xF0));
  for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
  }
  return p;
}

void TakePaletteFromEnvironment() {
  if (qEnvironmentVariable("HAMPER_PACKER_PALETTE") != QStringLiteral("dark")) return;
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setPalette(DarkFusionPalette());
}
