#pragma once

namespace kn4 {

// Window geometry is designed in twips; the screen has 15 twips to a pixel.
constexpr int kTwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel (halves away from zero).
constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

} // namespace kn4
