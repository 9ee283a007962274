// The output box: the large text box in which reports appear and in which
// text files are opened, edited, printed and given fonts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fortelle {

class Printer;

// The font attributes the font tool reads from its dialog and applies.
struct FontChoice {
    std::string name;
    double size = 10.0;
    bool bold = false;
    bool italic = false;
    bool strikethrough = false;
    bool underline = false;
    std::uint32_t colour = 0x000000; // 0xRRGGBB
};

class OutputBox {
public:
    virtual ~OutputBox() = default;

    // Whole text, as UTF-8. Line breaks read back as line feeds.
    virtual void setText(std::string_view utf8) = 0;
    virtual std::string text() const = 0;

    // The selection font is the font that text inserted at the caret takes.
    virtual void setSelectionFontName(std::string_view name) = 0;
    virtual void setSelectionFontSize(double points) = 0;
    // Makes the font of the whole box bold.
    virtual void setBoxBold(bool bold) = 0;

    // Inserts text at the caret in the selection font, replacing any selection.
    virtual void insertAtCaret(std::string_view utf8) = 0;

    virtual void makeVisible() = 0;
    virtual void giveFocus() = 0;

    // Text tools.
    virtual std::int64_t selectionLength() const = 0;
    virtual void applySelectionFont(const FontChoice& font) = 0; // colour included
    virtual void applyBoxFont(const FontChoice& font) = 0;       // colour left alone
    // Prints the selection when there is one, otherwise the whole text, as
    // one document on the printer.
    virtual void printOn(Printer& printer) = 0;
};

} // namespace fortelle
