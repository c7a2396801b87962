#pragma once
// The round pictures of the CAN page's tool buttons. The strip carries each
// picture's shape in its red channel; the window paints it in the desktop's
// own colours, once for enabled and once for disabled buttons, and again
// whenever the desktop's colours change.
#include <QColor>
#include <QIcon>
#include <QImage>

class QWidget;

namespace plendoro {

constexpr int kRoundButtonSize = 16;
constexpr int kRoundButtonCount = 34;

// Which picture of the strip each tool button shows.
enum RoundPicture { kPictureAdd = 0, kPictureDelete = 2, kPictureLeft = 4, kPictureRight = 6 };

// The strip "RoundButtons": 544 x 16, 24-bit, shape in the red channel.
QImage RoundButtonsStrip();

// Every pixel whose red value d is not 0 becomes, per channel,
// H + ((W - H) * d >> 8) (an arithmetic shift: rounding towards minus
// infinity); pixels with d = 0 become magenta, the transparent colour.
QImage RecolourRoundButtons(const QImage& strip, const QColor& window, const QColor& highlight);

// One picture of a recoloured strip, magenta made transparent.
QImage RoundPictureAt(const QImage& recoloured, int index);

// Gives the four CAN tool buttons under root their pictures for the
// palette's colours: window and highlight when enabled, window and grey
// text when disabled.
void ApplyRoundButtonImages(QWidget* root, const QPalette& palette);

} // namespace plendoro
