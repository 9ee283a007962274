#include "platform/qt/qt_printer.h"

#include <QPrinter>

namespace fortelle {

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}
QtPrinter::~QtPrinter() = default;

} // namespace fortelle
