#include "app/PaletteColours.h"

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
