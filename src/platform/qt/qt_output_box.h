// The output box on a QPlainTextEdit, which lays out only the lines it
// shows, so that a million-line report or a large file appears at once.
#pragma once

#include <QFont>

#include "platform/output_box.h"

class QPlainTextEdit;

namespace fortelle {

struct BoxLines;

class QtOutputBox final : public OutputBox {
public:
    // `reportFont` is the font new text takes until the report font is set.
    QtOutputBox(QPlainTextEdit& edit, const QFont& reportFont);

    void setText(std::string_view utf8) override;
    std::string text() const override;
    void setSelectionFontName(std::string_view name) override;
    void setSelectionFontSize(double points) override;
    void setBoxBold(bool bold) override;
    void insertAtCaret(std::string_view utf8) override;
    void makeVisible() override;
    void giveFocus() override;
    std::int64_t selectionLength() const override;
    void applySelectionFont(const FontChoice& font) override;
    void applyBoxFont(const FontChoice& font) override;
    void printOn(Printer& printer) override;

private:
    // Replaces the whole text; it shows in the report font, whatever the
    // font tool applied before.
    void replaceText(const BoxLines& lines);

    QPlainTextEdit& edit_;
    QFont reportFont_;
    bool selectionsFormatted_ = false; // parts of the text carry a font of their own
    bool piecesShown_ = false;         // long lines are shown in pieces
};

} // namespace fortelle
