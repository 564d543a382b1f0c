#pragma once

#include <QString>

#include <optional>

namespace zelmora {

// A background colour as the author typed it, in the form the pages' style
// gives it: "#rgb" or "#rrggbb" (the hash added to six bare digits, as
// browsers read the old bgcolor attribute), or one of CSS's named colours in
// any case. luminance is its relative luminance (0 black .. 1 white), which
// chooses the text colour.
struct CssColour {
    QString css;
    double luminance = 1.0;
};

// nullopt for anything else: no colour is set then, as a browser ignores a
// colour it does not know, and nothing typed can bring other CSS along.
std::optional<CssColour> cssColour(const QString &typed);

// WCAG's relative luminance of an sRGB colour, its channels 0 to 1.
double relativeLuminance(double red, double green, double blue);

// WCAG's contrast between two luminances, 1 to 21.
double contrastRatio(double luminanceA, double luminanceB);

// Whether white text reads better than black on a background of this
// luminance: either way the text has at least 4.5:1.
bool wantsLightText(double luminance);

} // namespace zelmora
