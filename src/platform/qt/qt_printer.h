// The printer the print dialog selected.
#pragma once

#include <memory>

#include "platform/dialogs.h"

class QPrinter;

namespace fortelle {

class QtPrinter final : public Printer {
public:
    explicit QtPrinter(std::unique_ptr<QPrinter> printer);
    ~QtPrinter() override;
    QPrinter* device() const { return printer_.get(); }
    // Printing a text document ends its own printed document.
    void endDocument() override {}

private:
    std::unique_ptr<QPrinter> printer_;
};

} // namespace fortelle
