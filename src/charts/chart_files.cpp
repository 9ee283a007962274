#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "charts/charts.h"

namespace fortelle::charts {
namespace {

using OrderedJson = nlohmann::ordered_json;

// The shortest text that reads back as the same double.
std::string Number(double x)
{
    char text[32];
#ifdef __EMSCRIPTEN__
    // The web edition's C++ library has no to_chars for doubles.
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, x);
        if (std::strtod(text, nullptr) == x) break;
    }
    return text;
#else
    const auto end = std::to_chars(text, text + sizeof text, x).ptr;
    return {text, end};
#endif
}

// A CSV field, quoted when it holds a comma, a quote or a line end.
std::string Field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string Row(const std::string& type, const std::string& name, const forms::ChartPoint& p)
{
    return type + "," + Field(name) + "," + Number(p.x) + "," + Number(p.y) + "," + Field(p.xText) + "," +
           Field(p.yText) + "," + Field(p.detail) + "\n";
}

// A comment line: never more than one, whatever the text holds.
std::string Comment(const std::string& key, std::string text)
{
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return "# " + key + ": " + text + "\n";
}

std::string AxisLine(const forms::Axis& axis)
{
    std::string text = axis.label + "; from " + Number(axis.from) + " to " + Number(axis.to);
    if (!axis.unit.empty()) text += "; unit " + axis.unit;
    return text + (axis.log ? "; log scale" : "; linear scale");
}

OrderedJson PointJson(const forms::ChartPoint& p)
{
    OrderedJson j;
    j["x"] = p.x;
    j["y"] = p.y;
    j["x_text"] = p.xText;
    j["y_text"] = p.yText;
    if (!p.detail.empty()) j["detail"] = p.detail;
    return j;
}

OrderedJson AxisJson(const forms::Axis& axis)
{
    OrderedJson j;
    j["title"] = axis.title;
    j["unit"] = axis.unit;
    j["log"] = axis.log;
    j["label"] = axis.label;
    j["from"] = axis.from;
    j["to"] = axis.to;
    j["ticks"] = OrderedJson::array();
    for (const forms::Tick& t : axis.ticks) j["ticks"].push_back({{"at", t.at}, {"label", t.label}});
    if (!axis.categories.empty()) j["categories"] = axis.categories;
    return j;
}

const char* StyleName(forms::Series::Style style)
{
    switch (style) {
    case forms::Series::Style::Bars: return "bars";
    case forms::Series::Style::Steps: return "steps";
    case forms::Series::Style::Line: break;
    }
    return "line";
}

} // namespace

std::string ChartCsv(const forms::Chart& chart)
{
    std::string out = Comment("chart", chart.kind) + Comment("title", chart.title);
    if (!chart.note.empty()) out += Comment("note", chart.note);
    out += Comment("x axis", AxisLine(chart.x)) + Comment("y axis", AxisLine(chart.y));
    if (chart.shaded()) {
        out += Comment("shaded",
                       "x from " + Number(chart.shadeFrom) + " to " + Number(chart.shadeTo) + ": " + chart.shadeLabel);
    }
    out += "type,name,x,y,x_text,y_text,detail\n";
    for (const forms::Series& s : chart.series) {
        for (const forms::ChartPoint& p : s.points) out += Row("point", s.name, p);
    }
    for (const forms::Mark& m : chart.marks) out += Row("mark", m.label, m.at);
    return out;
}

std::string ChartJson(const forms::Chart& chart)
{
    OrderedJson j;
    j["schema"] = "fortelle-chart/1";
    j["kind"] = chart.kind;
    j["title"] = chart.title;
    j["note"] = chart.note;
    j["x"] = AxisJson(chart.x);
    j["y"] = AxisJson(chart.y);
    j["series"] = OrderedJson::array();
    for (const forms::Series& s : chart.series) {
        OrderedJson series;
        series["name"] = s.name;
        series["style"] = StyleName(s.style);
        series["reference"] = s.reference;
        series["points"] = OrderedJson::array();
        for (const forms::ChartPoint& p : s.points) series["points"].push_back(PointJson(p));
        j["series"].push_back(std::move(series));
    }
    j["marks"] = OrderedJson::array();
    for (const forms::Mark& m : chart.marks) {
        OrderedJson mark = {{"label", m.label}};
        mark.update(PointJson(m.at));
        if (m.series >= 0) mark["series"] = m.series;
        j["marks"].push_back(std::move(mark));
    }
    if (chart.shaded()) {
        j["shade"] = {{"from", chart.shadeFrom}, {"to", chart.shadeTo}, {"label", chart.shadeLabel}};
    } else {
        j["shade"] = nullptr;
    }
    return j.dump(2) + "\n";
}

} // namespace fortelle::charts
