#include "charts/chart_text.h"

#include <cmath>
#include <cstdio>

#include "games/game_odds.h"
#include "shell/print_style.h"

namespace fortelle::charts {

std::string Grouped(const std::string& text)
{
    const std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    std::size_t end = text.find('.');
    if (end == std::string::npos) end = text.size();
    std::string out = text.substr(0, start);
    for (std::size_t i = start; i < end; ++i) {
        if (i > start && (end - i) % 3 == 0) out += ',';
        out += text[i];
    }
    return out + text.substr(end);
}

std::string FixedText(const Rational& r, int places)
{
    const bool negative = r < 0;
    const BigInt scale = boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(places));
    const Rational scaled = (negative ? Rational(-r) : r) * scale;
    BigInt whole = numerator(scaled) / denominator(scaled);
    const BigInt twice = 2 * (numerator(scaled) - whole * denominator(scaled));
    if (twice > denominator(scaled) || (twice == denominator(scaled) && bit_test(whole, 0))) ++whole;
    std::string digits = whole.str();
    const auto p = static_cast<std::size_t>(places);
    if (p > 0) {
        if (digits.size() <= p) digits.insert(0, p - digits.size() + 1, '0');
        digits.insert(digits.size() - p, ".");
    }
    return (negative && whole != 0 ? "-" : "") + Grouped(digits);
}

Rational PowerOfTen(int n)
{
    const BigInt p = boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(std::abs(n)));
    return n >= 0 ? Rational(p) : Rational(1, p);
}

int DecimalExponent(const Rational& r)
{
    int e = static_cast<int>(numerator(r).str().size()) - static_cast<int>(denominator(r).str().size());
    if (r < PowerOfTen(e)) --e;
    return e;
}

std::string SignificantText(const Rational& r, int digits)
{
    if (r == 0) return "0";
    const int e = DecimalExponent(r < 0 ? Rational(-r) : r);
    const int places = std::max(0, digits - 1 - e);
    std::string text = FixedText(r, places);
    // 9.996 to three digits is 10.0, not 10.00: a carry into a new first
    // digit takes one place off.
    std::string shown;
    for (const char c : text) {
        if (c >= '0' && c <= '9' && (c != '0' || !shown.empty())) shown += c;
    }
    if (places > 0 && static_cast<int>(shown.size()) > digits) text = FixedText(r, places - 1);
    return text;
}

std::string PercentText(const Rational& chance)
{
    const Rational percent = chance * 100;
    if (percent > 0 && percent < Rational(1, 1'000'000'000)) {
        // Far below a billionth of a percent, the zeros would hide the digits.
        int e = DecimalExponent(percent);
        std::string digits = SignificantText(percent * PowerOfTen(-e), 3);
        if (digits == "10.0") {
            digits = "1.00";
            ++e;
        }
        return digits + "E" + std::to_string(e) + " %";
    }
    return SignificantText(percent, 3) + " %";
}

std::string PercentText(const Precise& chance)
{
    const Precise percent = chance * 100;
    if (percent == 0) return "0 %";
    // Rounded once from the 100 digits to three; the exponent may be far
    // beyond what an exact fraction could be built for.
    const std::string text = percent.str(2, std::ios_base::scientific);
    const auto e = text.find('e');
    const int exponent = std::stoi(text.substr(e + 1));
    if (exponent >= -9) return PercentText(ToRational(chance));
    return text.substr(0, e) + "E" + std::to_string(exponent) + " %";
}

std::string OneInText(const Rational& p)
{
    if (p <= 0) return "impossible (0 %)";
    const std::string figure = GeneralForm(OneInFigure(p));
    return "1 in " + (figure.find('E') == std::string::npos ? Grouped(figure) : figure) + " (" + PercentText(p) + ")";
}

std::string CountText(double n)
{
    if (n < 0x1p53) return Grouped(std::to_string(static_cast<std::int64_t>(n)));
    return GeneralForm(ToFigure15(n));
}

std::string RoundAmountWords(double x)
{
    const auto plain = [](double v) {
        char text[64];
        std::snprintf(text, sizeof text, "%.15g", v);
        return Grouped(text);
    };
    if (x < 1e6) return plain(x);
    if (x < 1e9) return plain(x / 1e6) + " million";
    if (x < 1e12) return plain(x / 1e9) + " billion";
    if (x < 1e15) return plain(x / 1e12) + " trillion";
    return GeneralForm(ToFigure15(x));
}

std::vector<forms::Tick> DecadeTicks(int lo, int hi, int most, const std::function<std::string(int)>& label)
{
    const int step = std::max(1, (hi - lo + most - 1) / most);
    std::vector<forms::Tick> ticks;
    for (int e = hi; e >= lo; e -= step) ticks.insert(ticks.begin(), {std::pow(10.0, e), label(e)});
    return ticks;
}

void SetLinearRange(forms::Axis& axis, double top, const std::function<std::string(double)>& label)
{
    if (!(top > 0)) top = 1;
    double step = std::pow(10.0, std::floor(std::log10(top / 6)));
    for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (top / (step * m) <= 6 + 1e-9) {
            step *= m;
            break;
        }
    }
    const double steps = std::ceil(top / step - 1e-9);
    axis.from = 0;
    axis.to = steps * step;
    axis.ticks.clear();
    for (int i = 0; i <= static_cast<int>(steps); ++i) axis.ticks.push_back({i * step, label(i * step)});
}

} // namespace fortelle::charts
