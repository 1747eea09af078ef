#pragma once
// The colours the browser marks things with, derived from a palette so that they read on light
// and dark ones alike: each keeps its hue (green for a reference found in this Hamper, blue for one
// in another Hamper, red for one that resolves nowhere and for a failing item) and takes the
// lightness that gives it a contrast of at least kMinimumContrast against the palette's Base (the
// background of trees and text views), by the WCAG formula.
//
//   painter.setPen(PaletteColour(palette(), EMarkColour::kFailure));
//   ContrastRatio(colour, palette().color(QPalette::Base));   // 1 to 21
//
// Widgets that draw with them follow QEvent::PaletteChange.

#include <QColor>
#include <QPalette>

enum class EMarkColour { kFound, kOtherHamper, kUnresolved, kFailure, kLoop };

inline constexpr double kMinimumContrast = 4.5;

QColor PaletteColour(const QPalette& palette, EMarkColour mark);
// The WCAG contrast ratio of two colours: (L1 + 0.05) / (L2 + 0.05) of their relative luminances.
double ContrastRatio(const QColor& a, const QColor& b);

// A dark palette for the Fusion style: light text on dark grey.
QPalette DarkFusionPalette();
// With HAMPER_PACKER_PALETTE=dark in the environment, the application takes the Fusion style and
// DarkFusionPalette: how the browser is looked at on a dark desktop where none is at hand (the
// screenshots). Without it, nothing changes.
void TakePaletteFromEnvironment();
