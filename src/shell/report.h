// Report text: the bytes a calculator writes into the scratch report file,
// one printed line at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "shell/print_style.h"

namespace fortelle {

class Report {
public:
    // One printed line: its items one after another with nothing between
    // them, then carriage return and line feed. Text items are written as
    // they stand; numbers as print-style numbers (" 8 ").
    template <typename... Items>
    void line(const Items&... items)
    {
        (append(items), ...);
        bytes_ += "\r\n";
    }

    // Blank lines.
    void blank(int count = 1)
    {
        for (int i = 0; i < count; ++i) bytes_ += "\r\n";
    }

    void reserve(std::size_t n) { bytes_.reserve(n); }
    const std::string& bytes() const { return bytes_; }
    std::string take() { return std::move(bytes_); }

private:
    void append(std::string_view text) { bytes_ += text; }
    void append(const char* text) { bytes_ += text; }
    void append(const std::string& text) { bytes_ += text; }
    void append(const Figure15& value) { AppendPrintStyle(bytes_, value); }
    void append(double value) { AppendPrintStyle(bytes_, value); }
    template <typename Int, typename = std::enable_if_t<std::is_integral_v<Int>>>
    void append(Int value)
    {
        AppendPrintStyle(bytes_, static_cast<std::int64_t>(value));
    }

    std::string bytes_;
};

// The whole-text form: the report is one text whose lines end with a line
// feed alone, written as a single printed line.
std::string WholeTextReport(std::string_view text);

// The text with every CR LF pair written as a single line feed (other
// carriage returns stay). One pass, so it costs nothing on long reports.
std::string CrLfToLineFeeds(std::string_view text);

// A number's digits without sign and without blanks, as game labels show
// them ("-50" shows as "50").
std::string BareDigits(std::int64_t value);

} // namespace fortelle
