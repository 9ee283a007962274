// A chart as data: series of points with their exact figures as text, axis
// titles and scales, marked points. The core computes it; a front end only
// draws it (Qt Charts in the window, SVG on the web page), and the command
// line writes it as CSV or JSON.
#pragma once

#include <string>
#include <vector>

namespace fortelle::forms {

struct Axis {
    std::string title; // "Number of draws"
    std::string unit;  // "draws", "%", "USD"
    bool log = false;  // a logarithmic scale, labelled as such
};

struct ChartPoint {
    double x = 0, y = 0;      // where it is drawn
    std::string xText, yText; // the exact (or correctly rounded) figures, for tooltips and tables
};

struct Series {
    enum class Style { Line, Bars, Steps } style = Style::Line;
    std::string name;
    std::vector<ChartPoint> points;
};

// A point the chart marks and names ("90 %: 2,302,585 draws", "break-even").
struct Mark {
    std::string label;
    ChartPoint at;
};

struct Chart {
    std::string kind; // "draws", "value", "matches", "keno-result"
    std::string title;
    Axis x, y;
    std::vector<Series> series;
    std::vector<Mark> marks;
    // A stretch of x to shade (the results that are behind), or none when
    // shadeFrom > shadeTo.
    double shadeFrom = 1, shadeTo = 0;
    std::string shadeLabel;
};

} // namespace fortelle::forms
