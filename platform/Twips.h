#pragma once

#include <QRect>
#include <QtMath>

// Window geometry is specified in twips (1/1440 inch) at the classic 96 logical dots per inch,
// that is 15 twips to a pixel.
namespace Twips {

constexpr int kTwipsPerPixel = 15;

constexpr int toPixels(int twips) {
    return (twips >= 0 ? twips + kTwipsPerPixel / 2 : twips - kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr int fromPixels(int pixels) {
    return pixels * kTwipsPerPixel;
}

// A rectangle given as left, top, width and height in twips.
inline QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace Twips
