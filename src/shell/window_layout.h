// The main window's design: where each control sits and its colours.
// Positions and sizes are in twips (1440 per inch, 15 to a pixel at 96 dots
// per inch).
#pragma once

namespace fortelle {

struct Rgb {
    int red, green, blue;
};

struct ControlGeometry {
    int left, top, width, height;
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 9624;
inline constexpr int kClientHeight = 7740;
inline constexpr Rgb kWindowColour{192, 255, 192};
inline constexpr Rgb kBannerTextColour{0, 0, 64};
inline constexpr Rgb kButtonColour{128, 255, 128};
inline constexpr ControlGeometry kBannerGeometry{120, 120, 8412, 852};
inline constexpr ControlGeometry kOutputBoxGeometry{120, 3000, 9360, 4572};
inline constexpr int kButtonWidth = 1215;
inline constexpr int kButtonHeight = 300;

// Converts twips to whole pixels at 96 dots per inch.
constexpr int ToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

} // namespace fortelle
