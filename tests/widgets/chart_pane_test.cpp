// A chart drawn offscreen: the tool window's Chart tab holds it, its picture
// is the view's size and not blank, and it saves as PNG and SVG.
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChartView>
#include <QLabel>
#include <QLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <functional>
#include <set>

#include "fakes.h"
#include "forms/qt/chart_pane.h"
#include "forms/qt/tool_window.h"
#include "window_fixture.h"

namespace fortelle {
namespace {

using testing::WindowTest;

TEST_F(WindowTest, AChartIsDrawnBesideTheReport)
{
    ToolWindow* odds = window->openTool("game", "game", "us-powerball");
    odds->calculate();
    ASSERT_TRUE(QTest::qWaitFor([odds] { return !odds->busy(); }, 10000));
    auto* tabs = odds->findChild<QTabWidget*>(QStringLiteral("tabs"));
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), "C&hart");
    auto* pane = qobject_cast<ChartPane*>(tabs->widget(1));
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->data().series.front().points.size(), 10U); // nine prizes and none

    pane->resize(720, 480);
    pane->layout()->activate();
    const QImage image = pane->image();
    EXPECT_EQ(image.size(), pane->view()->size() * pane->view()->devicePixelRatioF());
    EXPECT_GT(pane->view()->width(), 600);
    // Not blank: the bars, the text and the grid give many colours.
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 20U);
    EXPECT_TRUE(pane->png().startsWith("\x89PNG"));
    EXPECT_TRUE(pane->svg().contains("<svg"));
}

// Which series a chart is drawn with, by name and kind: "Line:line".
QString Drawn(QChart* chart)
{
    static const char* kinds[] = {"line", "area", "bar", "stackedbar", "percentbar", "pie", "scatter", "spline"};
    QStringList drawn;
    for (QAbstractSeries* s : chart->series()) drawn << s->name() + ':' + kinds[s->type()];
    return drawn.join(' ');
}

QString Points(QXYSeries* series)
{
    QStringList points;
    for (const QPointF& p : series->points()) points << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    return points.join(' ');
}

// The tooltip a hover over the chart shows; "-" when it shows none.
QString TipAfter(const std::function<void()>& hover)
{
    QToolTip::showText(QPoint(), QStringLiteral("-"));
    hover();
    return QToolTip::text();
}

// Whether the legend shows the first series, in a chart laid out in a view.
bool FirstInLegend(QChart* chart)
{
    QChartView view(chart);
    view.grab();
    const bool shown = chart->legend()->markers().front()->isVisible();
    view.setChart(new QChart); // the chart stays the caller's
    return shown;
}

TEST(ChartDrawing, SeriesMarksShadeAndTipsAsTheDataSay)
{
    using Style = forms::Series::Style;
    forms::Chart c;
    c.title = "(Zebra pizza, Alpaca 1909-2090!)";
    c.x.to = 4;
    c.y.log = true, c.y.from = 1, c.y.to = 1000;
    // The point at 0 has no place on a log scale.
    const std::vector<forms::ChartPoint> points{
        {0, 0, "0", "none", ""}, {1, 10, "1", "ten", "exactly 10"}, {2, 100, "2", "hundred", ""}};
    c.series = {{Style::Line, "Line", points, false}, {Style::Steps, "Steps", points, false}};
    c.marks = {{"On the line", {1, 10, "", "", ""}, 0},
               {"Off the scale", {1, 0, "", "", ""}, -1},
               {"Plain", {2, 100, "", "", ""}, -1}};
    c.shadeFrom = c.shadeTo = 2; // one result behind is shaded too
    c.shadeLabel = "Behind";
    const QPalette palette = QApplication::palette();
    std::unique_ptr<QChart> chart(BuildChart(c, palette));
    EXPECT_EQ(Drawn(chart.get()), "Behind:area Line:line Steps:area On the line:scatter Plain:scatter");
    EXPECT_NE(qobject_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).front()), nullptr);
    // Axis titles in bold over plain labels, both in the text's colour.
    for (const QAbstractAxis* axis : chart->axes()) {
        EXPECT_TRUE(axis->titleFont().bold() && !axis->labelsFont().bold());
        EXPECT_EQ(axis->labelsBrush().color(), palette.color(QPalette::Text));
    }
    EXPECT_EQ(chart->legend()->alignment(), Qt::AlignBottom);
    const QList<QAbstractSeries*> series = chart->series();
    auto* line = qobject_cast<QLineSeries*>(series[1]);
    auto* steps = qobject_cast<QAreaSeries*>(series[2]);
    EXPECT_EQ(Points(line), "1,1 2,2");
    EXPECT_EQ(Points(steps->upperSeries()), "1,1 2,1 2,2");
    EXPECT_EQ(qobject_cast<QScatterSeries*>(series[3])->color(), line->pen().color());
    EXPECT_EQ(qobject_cast<QScatterSeries*>(series[4])->color(), palette.color(QPalette::Text));
    // The nearest point along x, the earlier of two as near; the step under the cursor.
    EXPECT_EQ(TipAfter([&] { emit line->hovered(QPointF(0.5, 1), true); }), "Line\n0: none");
    EXPECT_EQ(TipAfter([&] { emit line->hovered(QPointF(1.6, 1), true); }), "Line\n2: hundred");
    EXPECT_EQ(TipAfter([&] { emit steps->hovered(QPointF(1, 1), true); }), "Steps\n1: ten\nexactly 10");

    // Bars on categories: one series needs no legend, two do; many entries stand in a column.
    forms::Chart b;
    b.x.categories = {"a", "b"};
    b.series = {{Style::Bars, "Bars", {{0, 5, "a", "5", ""}, {1, 6, "b", "6", ""}}, false}};
    chart.reset(BuildChart(b, palette));
    EXPECT_NE(qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).front()), nullptr);
    EXPECT_TRUE(chart->axes(Qt::Horizontal).front()->titleFont().bold());
    EXPECT_FALSE(FirstInLegend(chart.get()));
    QBarSet* set = qobject_cast<QBarSeries*>(chart->series().front())->barSets().front();
    EXPECT_EQ(TipAfter([&] { emit set->hovered(true, 0); }), "Bars\na: 5");
    EXPECT_EQ(TipAfter([&] { emit set->hovered(true, 2); }), "-");
    b.series.push_back(b.series.front());
    chart.reset(BuildChart(b, palette));
    EXPECT_TRUE(FirstInLegend(chart.get()));
    for (const std::size_t length : {86, 87}) { // 90 characters with the marker's room: still a row
        b.series = {{Style::Bars, std::string(length, 'n'), {}, false}};
        chart.reset(BuildChart(b, palette));
        EXPECT_EQ(chart->legend()->alignment(), length == 86 ? Qt::AlignBottom : Qt::AlignRight);
    }

    // The pane: the note under the chart, files named after the title.
    c.note = "Drawn for a test.";
    testing::FakePlatform p;
    ChartPane pane(c, p.files, p.dialogs, nullptr);
    EXPECT_EQ(pane.findChild<QLabel*>()->text(), "Drawn for a test.");
    p.answers = {std::nullopt, "/c.csv"};
    for (int i = 0; i < 2; ++i) {
        for (QPushButton* button : pane.findChildren<QPushButton*>()) {
            if (button->text() == "Save data as CSV…") button->click();
        }
    }
    const std::string dialog = "save dialog \"Save the chart as CSV table\" filter \"CSV files (*.csv)|*.csv|All "
                               "files (*.*)|*.*\" flags 0 offering \"zebra-pizza-alpaca-1909-2090.csv\"";
    ASSERT_EQ(p.journal.size(), 5U);
    EXPECT_EQ(p.journal[0], dialog);
    EXPECT_EQ(p.journal[1], "  cancelled");
    EXPECT_EQ(p.journal[2], dialog);
    EXPECT_EQ(p.journal[4].substr(0, 13), "write /c.csv ");
}

} // namespace
} // namespace fortelle
