// A chart as data: series of points with their exact figures as text, axis
// titles, units, ranges and labelled ticks, marked points and a shaded
// stretch. The core computes it; a front end only draws it (Qt Charts in the
// window, SVG on the web page), and the command line writes it as CSV or
// JSON. A front end computes nothing: where a tick goes and what it says,
// what a point's tooltip shows, which stretch is shaded, all come from here.
#pragma once

#include <string>
#include <vector>

namespace fortelle::forms {

// A labelled place on an axis ("1 million", "1 in 1,000", "50 %").
struct Tick {
    double at = 0;
    std::string label;
};

struct Axis {
    std::string title; // "Number of draws"
    std::string unit;  // "draws", "%", "USD"; "" for a category
    bool log = false;  // a logarithmic scale (base 10), labelled as such
    // What a front end writes beside the axis, the unit and the scale
    // included: "Number of draws (log scale)", "Chance of at least one win (%)".
    std::string label;
    // The stretch drawn, from `from` to `to`. A linear axis of amounts or
    // chances starts at 0, so that nothing looks bigger than it is; a log
    // axis spans whole powers of ten, both above 0.
    double from = 0, to = 1;
    std::vector<Tick> ticks;
    // A category axis (bars): point x = i stands for categories[i].
    std::vector<std::string> categories;
};

struct ChartPoint {
    double x = 0, y = 0;      // where it is drawn (on a log axis, the value itself, not its logarithm)
    std::string xText, yText; // the exact (or correctly rounded) figures, for tooltips and tables
    std::string detail;       // more of the same figure (an exact fraction, a prize), or ""
};

struct Series {
    enum class Style { Line, Bars, Steps } style = Style::Line;
    std::string name;
    std::vector<ChartPoint> points;
    bool reference = false; // a level to compare with (a price): drawn thin and plain
};

// A point the chart marks and names ("90 %: 2,302,585 draws", "break-even").
struct Mark {
    std::string label;
    ChartPoint at;
    int series = -1; // the index of the series it lies on, or -1
};

struct Chart {
    std::string kind;  // "draws", "value", "matches", "keno"
    std::string title; // "US Powerball, any prize: the chance of at least one win"
    std::string note;  // one or two sentences on how it was computed, or ""
    Axis x, y;
    std::vector<Series> series;
    std::vector<Mark> marks;
    // A stretch of x to shade (the results that are behind), or none when
    // shadeFrom > shadeTo. `shadeLabel` names it with its exact chance.
    double shadeFrom = 1, shadeTo = 0;
    std::string shadeLabel;
    bool shaded() const { return shadeFrom <= shadeTo; }
};

} // namespace fortelle::forms
