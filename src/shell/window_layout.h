// The main window's design: where each control sits and what each button
// does. Positions and sizes are in twips (1440 per inch, 15 to a pixel at
// 96 dots per inch).
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace fortelle {

struct Platform;

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

using Handler = void (*)(Platform&);

struct ButtonDesign {
    std::string_view name;
    std::string_view caption;
    std::string_view tooltip;
    int left;
    int top;
    Handler onClick;
};

std::span<const ButtonDesign> ButtonDesigns();

// Keyboard focus order by control name; the banner label is in the chain
// but takes no focus.
std::span<const std::string_view> TabOrder();

// Converts twips to whole pixels at 96 dots per inch.
constexpr int ToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

} // namespace fortelle
