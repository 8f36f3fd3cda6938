// Colour settings and soft edges applied to a picture's pixels when it is drawn: brightness,
// contrast, saturation, a grey or sepia tone, and an edge of rounded corners that fades out
// over a given width. The picture itself is never changed; these work on a drawn copy.
#pragma once

#include <QImage>
#include <QRgb>

namespace bb {

// The colour settings of a picture, each −100..100 (values beyond are taken as the limit).
enum class PictureToneKind { Colour, Grey, Sepia };
struct PictureLook {
    int brightness = 0;  // −100 black … +100 white
    int contrast = 0;    // −100 flat grey … +100 hard
    int saturation = 0;  // −100 grey … +100 twice as strong
    PictureToneKind tone = PictureToneKind::Colour;

    bool isPlain() const {
        return brightness == 0 && contrast == 0 && saturation == 0 &&
               tone == PictureToneKind::Colour;
    }
    friend bool operator==(const PictureLook&, const PictureLook&) = default;
};

// One opaque colour with the settings applied: brightness and contrast per channel, then the
// saturation about the colour's luminance, then the tone.
QRgb adjustedColour(QRgb colour, const PictureLook& look);

// Applies the settings to every pixel of a 32-bit image in place (alpha kept). Other formats
// are converted to ARGB32_Premultiplied first.
void adjustColours(QImage& image, const PictureLook& look);

// The coverage (0..1) of the point at the centre of pixel (x, y) in a w × h picture whose
// corners are rounded with `radius` pixels and whose edge fades to nothing over `feather`
// pixels inwards; 1 well inside, 0 outside. Without feather the edge is smoothed over one
// pixel.
double softEdgeCoverage(int x, int y, int w, int h, double radius, double feather);

// Multiplies every pixel of the image by its coverage (see softEdgeCoverage); the image becomes
// ARGB32_Premultiplied.
void applySoftEdge(QImage& image, double radius, double feather);

}  // namespace bb
