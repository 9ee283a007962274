// The tool windows on the offscreen platform, used by keys as a person
// would: opened from the menus, answers typed, Enter, the verdict, the
// report in the box, Escape, and a computation stopped half way.
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

#include "forms/qt/chart_pane.h"
#include "forms/qt/tool_window.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/std_file_system.h"
#include "window_fixture.h"

namespace fortelle {
namespace {

using testing::WindowTest;

QWidget* Field(ToolWindow* w, const char* name)
{
    for (QWidget* child : w->findChildren<QWidget*>()) {
        if (child->accessibleName() == QLatin1String(name)) return child;
    }
    ADD_FAILURE() << "no field " << name;
    return w;
}

void Type(ToolWindow* w, const char* field, const char* text)
{
    QWidget* edit = Field(w, field);
    edit->setFocus();
    QTest::keyClicks(edit, QString::fromLatin1(text));
}

QString Verdict(ToolWindow* w)
{
    EXPECT_TRUE(QTest::qWaitFor([w] { return !w->busy(); }, 10000));
    return w->findChild<QLabel*>(QStringLiteral("verdict"))->text();
}

TEST_F(WindowTest, ToolWindowsAnswerFromTheMenusAndForgetWhatIsNotCalculated)
{
    // The Games menu: every game by name, Keno included, each opening its odds.
    QStringList games;
    for (QAction* a : window->findChild<QMenu*>(QStringLiteral("gamesMenu"))->actions()) games << a->text();
    EXPECT_TRUE(games.contains("Keno 80/20") && games.contains("Massachusetts Keno")) << games.join('|').toStdString();
    EXPECT_LT(games.indexOf("Eurojackpot"), games.indexOf("EuroMillions"));
    ToolWindow* odds = window->openTool("game", "game", "us-powerball");
    QTest::keyClick(odds, Qt::Key_Return);
    EXPECT_EQ(Verdict(odds), "A ticket wins some prize with a chance of 1 in 24.87 (4.02 %) and the jackpot with 1 in "
                             "292,201,338 (0.000000342 %).");
    for (QPushButton* b : odds->findChildren<QPushButton*>()) {
        if (b->text() == "Show in the &box") b->click();
    }
    EXPECT_TRUE(boxText().contains("1 in 292,201,338     0.000000342 %")) << boxText().toStdString();
    expectReportFont(3);

    // Ticket value: a problem beside the field as it is typed, then Enter.
    ToolWindow* value = window->openTool("value", "game", "us-powerball");
    Type(value, "Advertised jackpot, USD", "5e8x");
    auto problems = [value] {
        QStringList shown;
        for (QLabel* l : value->findChildren<QLabel*>()) {
            if (l->isVisibleTo(value) && l->text().contains("must")) shown << l->text();
        }
        return shown;
    };
    EXPECT_EQ(problems(), QStringList("The advertised jackpot must be a number, not '5e8x'."));
    QTest::keyClick(Field(value, "Advertised jackpot, USD"), Qt::Key_Backspace);
    Type(value, "Tax rate, %", "37");
    Type(value, "Taxed above, USD", "600");
    EXPECT_TRUE(problems().isEmpty());
    QTest::keyClick(value, Qt::Key_Enter);
    EXPECT_EQ(Verdict(value), "On average a 2 USD ticket returns 1.35 USD: you lose 0.65 USD (32.7 %) per ticket.");
    for (auto* curve : value->findChild<ChartPane*>()->view()->chart()->series()) { // every curve is drawn
        if (auto* line = qobject_cast<QLineSeries*>(curve)) {
            EXPECT_GT(line->count(), 1) << line->name().toStdString();
        }
    }
    const std::string remembered = folder.read("Tools.json");
    EXPECT_NE(remembered.find("\"tax\": \"37\""), std::string::npos);

    // EuroMillions has answers of its own: no US tax. Escape keeps them.
    qobject_cast<QComboBox*>(Field(value, "Game"))->setCurrentText("EuroMillions");
    EXPECT_EQ(qobject_cast<QLineEdit*>(Field(value, "Tax rate, %"))->text(), "");
    EXPECT_EQ(Field(value, "Tax rate, %")->inputMethodHints(), Qt::InputMethodHints(Qt::ImhFormattedNumbersOnly));
    Type(value, "Advertised jackpot, EUR", "17000000");
    QTest::keyClick(value, Qt::Key_Escape);
    QTRY_VERIFY(window->findChild<ToolWindow*>(ToolWindow::NameFor("value")) == nullptr);
    EXPECT_EQ(folder.read("Tools.json"), remembered);
    value = window->openTool("value");
    EXPECT_EQ(qobject_cast<QComboBox*>(Field(value, "Game"))->currentText(), "US Powerball");
}

// A tool that draws every kind of field and computes until it is stopped.
class Slow final : public forms::Tool {
public:
    forms::ToolInfo info() const override { return {"slow", "Test", "Slow", "Waits", false}; }
    std::vector<forms::Field> fields(const forms::Values&) const override
    {
        forms::Field picks;
        picks.key = picks.label = "picks";
        picks.kind = forms::Kind::Picks;
        picks.lowest = 1, picks.highest = 12;
        return {picks};
    }
    std::vector<forms::Problem> check(const forms::Values&) const override { return {}; }
    forms::Result compute(const forms::Values&, forms::Progress& progress) const override
    {
        while (!progress.cancelled()) progress.advance(0.5);
        return {};
    }
};

TEST_F(WindowTest, PicksAreAGridAndALongComputationStops)
{
    StdFileSystem files;
    std::unique_ptr<ToolWindow> w(new ToolWindow(std::make_shared<Slow>(), files, window->dialogs(), nullptr, nullptr));
    const auto toggles = w->findChild<QWidget*>(QStringLiteral("form"))->findChildren<QToolButton*>();
    ASSERT_EQ(toggles.size(), 12);
    toggles[6]->click();
    toggles[2]->click();
    EXPECT_EQ(w->session().values().at("picks"), "3 7");
    w->calculate();
    EXPECT_TRUE(w->busy());
    QTest::keyClick(w.get(), Qt::Key_Escape); // stops; a second Escape would close
    EXPECT_EQ(Verdict(w.get()), "Stopped: nothing was computed or remembered.");
    EXPECT_FALSE(folder.has("Tools.json"));
}

} // namespace
} // namespace fortelle
