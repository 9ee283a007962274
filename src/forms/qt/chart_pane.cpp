#include "forms/qt/chart_pane.h"

#include <QApplication>
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

#include "charts/charts.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"

namespace fortelle {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Where a value sits on its axis: itself on a linear one; on a log one, its
// power of ten above the axis's start (so that bars rise from the bottom).
struct Scale {
    bool log = false;
    double from = 0;
    double at(double v) const
    {
        if (!log) return v;
        return v > 0 ? std::log10(v) - std::log10(from) : std::numeric_limits<double>::quiet_NaN();
    }
};

// The colours of a light or a dark background. The series' colours step in
// lightness, and each has a dash pattern of its own, so that they part when
// printed in grey or seen without colour.
struct Look {
    bool dark = false;
    QColor background, text, grid, shade;
    std::vector<QColor> lines;
};

Look LookFor(const QPalette& palette)
{
    Look look;
    look.dark = palette.color(QPalette::Window).lightness() < 128;
    look.background = palette.color(QPalette::Base);
    look.text = palette.color(QPalette::Text);
    look.grid = look.dark ? QColor(95, 95, 95) : QColor(215, 215, 215);
    look.shade = look.dark ? QColor(255, 120, 100, 60) : QColor(200, 40, 20, 40);
    if (look.dark) {
        look.lines = {QColor(140, 190, 255), QColor(255, 150, 70), QColor(230, 230, 230), QColor(200, 130, 255),
                      QColor(120, 220, 160)};
    } else {
        look.lines = {QColor(11, 61, 145), QColor(213, 94, 0), QColor(90, 90, 90), QColor(150, 40, 150),
                      QColor(0, 140, 100)};
    }
    return look;
}

constexpr Qt::PenStyle kDashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
constexpr QScatterSeries::MarkerShape kShapes[] = {
    QScatterSeries::MarkerShapeCircle, QScatterSeries::MarkerShapeRectangle, QScatterSeries::MarkerShapeTriangle,
    QScatterSeries::MarkerShapeStar, QScatterSeries::MarkerShapePentagon};

QString Tip(const std::string& name, const forms::ChartPoint& p)
{
    QString text = Q(name) + QLatin1Char('\n') + Q(p.xText) + QStringLiteral(": ") + Q(p.yText);
    if (!p.detail.empty()) text += QLatin1Char('\n') + Q(p.detail);
    return text;
}

void ShowTip(const QString& text, bool state)
{
    if (state) {
        QToolTip::showText(QCursor::pos(), text);
    } else {
        QToolTip::hideText();
    }
}

// An axis labelled at the data's ticks, titled with its unit and scale.
QCategoryAxis* ValueAxis(const forms::Axis& a, const Scale& s, const Look& look, const QFont& font)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const double from = s.at(a.from), to = s.at(a.to);
    // A tick at the very start still needs a category of some width.
    axis->setStartValue(from - (to - from) * 1e-9);
    axis->setRange(from, to);
    for (const forms::Tick& t : a.ticks) axis->append(Q(t.label), s.at(t.at));
    axis->setTitleText(Q(a.label));
    axis->setTitleBrush(look.text);
    axis->setLabelsBrush(look.text);
    axis->setLabelsFont(font);
    QFont title = font;
    title.setBold(true);
    axis->setTitleFont(title);
    axis->setGridLineColor(look.grid);
    axis->setLinePenColor(look.text);
    return axis;
}

} // namespace

QChart* BuildChart(const forms::Chart& data, const QPalette& palette)
{
    const Look look = LookFor(palette);
    const QFont font = QApplication::font();
    auto* chart = new QChart;
    chart->setTitle(Q(data.title));
    QFont titleFont = font;
    titleFont.setBold(true);
    titleFont.setPointSizeF(font.pointSizeF() * 1.15);
    chart->setTitleFont(titleFont);
    chart->setTitleBrush(look.text);
    chart->setBackgroundBrush(look.background);
    chart->setBackgroundRoundness(0);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    // Many entries read better one above the other than cut short in a row.
    std::size_t legend = data.shadeLabel.size();
    for (const forms::Series& s : data.series) legend += s.name.size() + 4;
    for (const forms::Mark& m : data.marks) legend += m.label.size() + 4;
    if (legend > 90) {
        chart->legend()->setAlignment(Qt::AlignRight);
    }
    chart->legend()->setLabelColor(look.text);
    chart->legend()->setFont(font);

    const Scale xs{data.x.log, data.x.from}, ys{data.y.log, data.y.from};
    QAbstractAxis* xAxis = nullptr;
    if (!data.x.categories.empty()) {
        auto* bars = new QBarCategoryAxis;
        for (const std::string& c : data.x.categories) bars->append(Q(c));
        bars->setTitleText(Q(data.x.label));
        bars->setTitleBrush(look.text);
        bars->setLabelsBrush(look.text);
        bars->setLabelsFont(font);
        QFont title = font;
        title.setBold(true);
        bars->setTitleFont(title);
        bars->setGridLineVisible(false);
        bars->setLinePenColor(look.text);
        xAxis = bars;
    } else {
        xAxis = ValueAxis(data.x, xs, look, font);
    }
    QAbstractAxis* yAxis = ValueAxis(data.y, ys, look, font);
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    const auto attach = [&](QAbstractSeries* series) {
        chart->addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    };

    if (data.shaded()) {
        // Behind everything, from the axis's foot to its top.
        auto *lower = new QLineSeries, *upper = new QLineSeries;
        const double a = xs.at(std::max(data.shadeFrom, data.x.from)), b = xs.at(std::min(data.shadeTo, data.x.to));
        lower->append({{a, ys.at(data.y.from)}, {b, ys.at(data.y.from)}});
        upper->append({{a, ys.at(data.y.to)}, {b, ys.at(data.y.to)}});
        auto* area = new QAreaSeries(upper, lower);
        // An area series does not own its lines: they go with it.
        upper->setParent(area);
        lower->setParent(area);
        area->setName(Q(data.shadeLabel));
        area->setBrush(look.shade);
        area->setPen(QPen(look.shade, 1));
        attach(area);
        for (QLegendMarker* marker : chart->legend()->markers(area)) marker->setShape(QLegend::MarkerShapeRectangle);
    }

    const double pen = 3;
    for (std::size_t i = 0; i < data.series.size(); ++i) {
        const forms::Series& s = data.series[i];
        const QColor colour = look.lines[i % look.lines.size()];
        if (s.style == forms::Series::Style::Bars) {
            auto* set = new QBarSet(Q(s.name));
            for (const forms::ChartPoint& p : s.points) {
                const double h = ys.at(p.y);
                set->append(std::isfinite(h) ? h : 0);
            }
            set->setColor(colour);
            set->setBorderColor(colour.darker(130));
            auto* bars = new QBarSeries;
            bars->append(set);
            bars->setBarWidth(0.7);
            QObject::connect(set, &QBarSet::hovered, chart, [s](bool state, int index) {
                if (index >= 0 && index < static_cast<int>(s.points.size()))
                    ShowTip(Tip(s.name, s.points[static_cast<std::size_t>(index)]), state);
            });
            attach(bars);
            // One series of bars needs no legend: the axis says what they are.
            chart->legend()->markers(bars).front()->setVisible(data.series.size() > 1);
            continue;
        }
        auto* line = new QLineSeries;
        line->setName(Q(s.name));
        double previous = std::numeric_limits<double>::quiet_NaN();
        for (const forms::ChartPoint& p : s.points) {
            const double x = xs.at(p.x), y = ys.at(p.y);
            if (!std::isfinite(x) || !std::isfinite(y)) continue;
            if (s.style == forms::Series::Style::Steps && std::isfinite(previous)) line->append(x, previous);
            line->append(x, y);
            previous = y;
        }
        QPen stroke(colour, pen, kDashes[i % std::size(kDashes)]);
        if (s.reference) stroke = QPen(look.text, 1.5, Qt::DashLine);
        stroke.setCapStyle(Qt::FlatCap);
        line->setPen(stroke);
        if (s.style == forms::Series::Style::Steps) {
            // Steps are a histogram: filled down to the axis.
            auto* foot = new QLineSeries(chart);
            for (const QPointF& p : line->points()) foot->append(p.x(), ys.at(data.y.from));
            auto* area = new QAreaSeries(line, foot);
            line->setParent(area); // not added to the chart itself: the area owns it
            area->setName(line->name());
            QColor fill = colour;
            fill.setAlpha(110);
            area->setBrush(fill);
            stroke.setWidthF(1.5);
            area->setPen(stroke);
            QObject::connect(area, &QAreaSeries::hovered, chart, [s, xs](const QPointF& at, bool state) {
                // The bar under the cursor: the last that starts at or before it.
                std::size_t best = 0;
                for (std::size_t k = 0; k < s.points.size(); ++k) {
                    if (xs.at(s.points[k].x) <= at.x()) best = k;
                }
                if (!s.points.empty()) ShowTip(Tip(s.name, s.points[best]), state);
            });
            attach(area);
            for (QLegendMarker* marker : chart->legend()->markers(area))
                marker->setShape(QLegend::MarkerShapeRectangle);
            continue;
        }
        QObject::connect(line, &QLineSeries::hovered, chart, [s, xs](const QPointF& at, bool state) {
            // The data point nearest the cursor along x.
            std::size_t best = 0;
            for (std::size_t k = 1; k < s.points.size(); ++k) {
                if (std::abs(xs.at(s.points[k].x) - at.x()) < std::abs(xs.at(s.points[best].x) - at.x())) best = k;
            }
            if (!s.points.empty()) ShowTip(Tip(s.name, s.points[best]), state);
        });
        attach(line);
    }

    for (std::size_t i = 0; i < data.marks.size(); ++i) {
        const forms::Mark& m = data.marks[i];
        const double x = xs.at(m.at.x), y = ys.at(m.at.y);
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        auto* dot = new QScatterSeries;
        dot->setName(Q(m.label));
        dot->append(x, y);
        dot->setMarkerShape(kShapes[i % std::size(kShapes)]);
        dot->setMarkerSize(12);
        dot->setColor(m.series >= 0 ? look.lines[static_cast<std::size_t>(m.series) % look.lines.size()] : look.text);
        dot->setBorderColor(look.background);
        QObject::connect(dot, &QScatterSeries::hovered, chart,
                         [m](const QPointF&, bool state) { ShowTip(Tip(m.label, m.at), state); });
        attach(dot);
    }
    return chart;
}

ChartPane::ChartPane(forms::Chart data, FileSystem& files, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), data_(std::move(data)), files_(files), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("chart-") + Q(data_.kind));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new QChartView(BuildChart(data_, palette()), this);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setAccessibleName(Q(data_.title));
    view_->setAccessibleDescription(Q(data_.note));
    view_->setMinimumSize(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 60, fontMetrics().lineSpacing() * 16);
    layout->addWidget(view_, 1);
    if (!data_.note.empty()) {
        auto* note = new QLabel(Q(data_.note), this);
        note->setWordWrap(true);
        note->setTextFormat(Qt::PlainText);
        layout->addWidget(note);
    }
    auto* buttons = new QHBoxLayout;
    const auto add = [&](const QString& text, const QString& tip, auto action) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        b->setToolTip(tip);
        connect(b, &QPushButton::clicked, this, action);
        buttons->addWidget(b);
    };
    add(QStringLiteral("Copy image"), QStringLiteral("Copy the chart as a picture"),
        [this] { QGuiApplication::clipboard()->setImage(image()); });
    add(QStringLiteral("Save as PNG…"), QStringLiteral("Save the chart as a PNG picture"),
        [this] { save("PNG picture", "png", png().toStdString()); });
    add(QStringLiteral("Save as SVG…"), QStringLiteral("Save the chart as an SVG drawing, sharp at any size"),
        [this] { save("SVG drawing", "svg", svg().toStdString()); });
    add(QStringLiteral("Save data as CSV…"), QStringLiteral("Save every point's figures, to plot them elsewhere"),
        [this] { save("CSV table", "csv", charts::ChartCsv(data_)); });
    buttons->addStretch();
    layout->addLayout(buttons);
}

QImage ChartPane::image() const
{
    // As the screen shows it, laid out first when the pane has not been shown
    // yet (a tab behind another).
    return view_->grab().toImage();
}

QByteArray ChartPane::png() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image().save(&buffer, "PNG");
    return bytes;
}

QByteArray ChartPane::svg() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(view_->size());
    svg.setViewBox(QRect(QPoint(0, 0), view_->size()));
    svg.setTitle(Q(data_.title));
    svg.setDescription(Q(data_.note));
    view_->grab(); // lays the chart out, as the image does
    QPainter painter(&svg);
    view_->render(&painter);
    painter.end();
    return bytes;
}

void ChartPane::save(const std::string& what, const std::string& extension, const std::string& bytes)
{
    // A file name from the title: "us-powerball-the-chance-of-each-prize.png".
    std::string name;
    for (const char c : data_.title) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (keep) name += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (!keep && !name.empty() && name.back() != '-') name += '-';
    }
    while (!name.empty() && name.back() == '-') name.pop_back();
    std::string upper = extension;
    for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
    const std::string filter = upper + " files (*." + extension + ")|*." + extension + "|All files (*.*)|*.*";
    const auto path = dialogs_.saveFile({"Save the chart as " + what, filter, 0, name + "." + extension});
    if (!path) return;
    const SaveResult saved = files_.save(*path, bytes);
    if (!saved.saved) dialogs_.showError("Save", saved.reason);
}

} // namespace fortelle
