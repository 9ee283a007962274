// The output box on a QTextEdit.
#pragma once

#include "platform/output_box.h"

class QTextEdit;

namespace fortelle {

class QtOutputBox final : public OutputBox {
public:
    explicit QtOutputBox(QTextEdit& edit) : edit_(edit) {}

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
    QTextEdit& edit_;
};

} // namespace fortelle
