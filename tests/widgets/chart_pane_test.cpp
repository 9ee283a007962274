// A chart drawn offscreen: the tool window's Chart tab holds it, its picture
// is the view's size and not blank, and it saves as PNG and SVG.
#include <QChartView>
#include <QLayout>
#include <QTabWidget>
#include <QTest>
#include <set>

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

} // namespace
} // namespace fortelle
