// The tool windows on the offscreen platform, used by keys as a person
// would: opened from the menus, answers typed, Enter, the verdict, the
// report in the box, Escape, and a computation stopped half way.
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "app/tools.h"
#include "fakes.h"
#include "forms/qt/chart_pane.h"
#include "forms/qt/tool_window.h"
#include "games/game_file.h"
#include "platform/qt/qt_dialogs.h"
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
    EXPECT_FALSE(odds->isModal()); // the box and other tools stay in reach
    // The window can be made larger, its form and report never squeezed away,
    // its long texts wrapped, and its report not typed in.
    EXPECT_TRUE(odds->isSizeGripEnabled());
    EXPECT_FALSE(odds->findChild<QSplitter*>()->childrenCollapsible());
    for (QLabel* l : odds->findChildren<QLabel*>()) { // all but a field's name and unit: problems, summary, verdict
        if (l->text().isEmpty() || l->text().endsWith('.')) {
            EXPECT_TRUE(l->wordWrap()) << l->text().toStdString();
        }
    }
    EXPECT_TRUE(odds->findChild<QPlainTextEdit*>(QStringLiteral("report"))->isReadOnly());
    EXPECT_TRUE(odds->findChild<QPlainTextEdit*>(QStringLiteral("report"))->tabChangesFocus()); // Tab moves on
    for (QPushButton* b : odds->findChildren<QPushButton*>()) { // Enter calculates, whichever button has the focus
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(b, &focus);
        EXPECT_EQ(b->isDefault(), b->text() == "&Calculate") << b->text().toStdString();
    }
    QTest::keyClick(odds, Qt::Key_Return);
    for (QPushButton* b : odds->findChildren<QPushButton*>()) { // no second run while one is going
        if (b->text() == "&Calculate") {
            EXPECT_FALSE(b->isEnabled());
        }
    }
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
            if (l->isVisibleTo(value) && (l->text().contains("must") || l->text().startsWith("Enter")))
                shown << l->text();
        }
        return shown;
    };
    EXPECT_EQ(problems(), QStringList("The advertised jackpot must be a number, not '5e8x'."));
    const auto* form = value->findChild<QScrollArea*>(QStringLiteral("form"));
    EXPECT_EQ(form->widget()->width(), form->viewport()->width()); // the fields take the form's width
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
    EXPECT_TRUE(problems().isEmpty()); // another game: nothing typed in it yet
    auto* game = qobject_cast<QComboBox*>(Field(value, "Game"));
    game->setCurrentIndex(0);
    EXPECT_EQ(value->session().values().at("game"), game->itemData(0).toString().toStdString());
    game->setCurrentText("EuroMillions");
    Type(value, "Advertised jackpot, EUR", "17000000");
    QTest::keyClick(value, Qt::Key_Escape);
    QTRY_VERIFY(window->findChild<ToolWindow*>(ToolWindow::NameFor("value")) == nullptr);
    EXPECT_EQ(folder.read("Tools.json"), remembered);
    value = window->openTool("value");
    EXPECT_EQ(qobject_cast<QComboBox*>(Field(value, "Game"))->currentText(), "US Powerball");
}

// A tool that draws every kind of field, refuses as it is told, and answers
// at once, or computes until it is stopped when told to wait.
class Fake final : public forms::Tool {
public:
    forms::ToolInfo info() const override { return {"fake", "Test", "Fake", "Tries the window", false}; }
    std::vector<forms::Field> fields(const forms::Values& v) const override
    {
        using forms::Kind;
        const auto field = [](const char* key, const char* label, Kind kind, std::string unit, std::string initial) {
            forms::Field f;
            f.key = key, f.label = label, f.kind = kind, f.unit = std::move(unit), f.initial = std::move(initial);
            return f;
        };
        // The unit follows the amount and the picks, so that the form is drawn anew as they change.
        const bool many = v.count("amount") && (v.at("amount").size() > 1 || v.at("picks").size() > 2);
        std::vector<forms::Field> f{field("zone", "Zone", Kind::Text, "mm", ""),
                                    field("amount", "Amount", Kind::Count, many ? "tickets" : "ticket", ""),
                                    field("notes", "Notes", Kind::Lines, "", "a\nb"),
                                    field("now", "No wait", Kind::Check, "", "1"),
                                    field("picks", "Picks", Kind::Picks, "", "")};
        f[4].lowest = 1, f[4].highest = 12;
        return f;
    }
    std::vector<forms::Problem> check(const forms::Values& v) const override
    {
        std::vector<forms::Problem> problems;
        if (v.at("amount").find_first_not_of("0123456789") != std::string::npos)
            problems.push_back({"amount", "The amount must be a whole number."});
        if (v.at("picks").empty()) problems.push_back({"", "Pick a number."});
        return problems;
    }
    forms::Result compute(const forms::Values& v, forms::Progress& progress) const override
    {
        while (v.at("now").empty() && !progress.cancelled()) progress.advance(0);
        forms::Result r;
        r.verdict = "Picked " + v.at("picks") + ".";
        r.charts.resize(2);
        r.exports = {{"Tickets as CSV", "tickets.csv", "1,2\n"}};
        return r;
    }
};

TEST_F(WindowTest, EveryKindOfFieldRefusalsAndTheAnswersExtras)
{
    testing::FakePlatform p;
    ToolWindow w(std::make_shared<Fake>(), p.files, p.dialogs, nullptr, nullptr);
    // Each label with a letter of its own; units beside their fields; tall
    // fields labelled at their top; each editor for its kind, with its value.
    QStringList labels;
    for (QLabel* l : w.findChild<QWidget*>(QStringLiteral("form"))->findChildren<QLabel*>()) {
        if (l->text().endsWith(':')) labels << l->text();
    }
    labels << w.findChild<QCheckBox*>()->text();
    EXPECT_EQ(labels.join(' '), "&Zone: &Amount: &Notes: &Picks: No &wait");
    auto* grid = qobject_cast<QGridLayout*>(w.findChild<QScrollArea*>(QStringLiteral("form"))->widget()->layout());
    QStringList units;
    for (int row : {0, 2, 4}) {
        QLayoutItem* unit = grid->itemAtPosition(row, 2);
        units << (unit ? qobject_cast<QLabel*>(unit->widget())->text() : "-");
    }
    EXPECT_EQ(units.join(' '), "mm ticket -");
    EXPECT_EQ(grid->itemAtPosition(0, 0)->alignment(), Qt::AlignVCenter | Qt::AlignLeft);
    EXPECT_EQ(grid->itemAtPosition(4, 0)->alignment(), Qt::AlignTop | Qt::AlignLeft);
    EXPECT_EQ(grid->itemAtPosition(8, 0)->alignment(), Qt::AlignTop | Qt::AlignLeft);
    EXPECT_EQ(Field(&w, "Zone, mm")->inputMethodHints(), Qt::ImhNone);
    EXPECT_EQ(Field(&w, "Amount, ticket")->inputMethodHints(), Qt::ImhDigitsOnly);
    auto* notes = qobject_cast<QPlainTextEdit*>(Field(&w, "Notes"));
    QTest::keyClick(notes, Qt::Key_Tab); // Tab goes on to the next field, even from lines of text
    EXPECT_EQ(notes->toPlainText(), "a\nb");
    EXPECT_TRUE(qobject_cast<QCheckBox*>(Field(&w, "No wait"))->isChecked());

    // A form drawn anew as a field is typed in keeps that field's focus and caret.
    QWidget* amount = Field(&w, "Amount, ticket");
    Type(&w, "Amount, ticket", "1");
    EXPECT_EQ(Field(&w, "Amount, ticket"), amount); // the same form
    QTest::keyClick(amount, Qt::Key_Home);
    QTest::keyClick(amount, Qt::Key_2); // "21": another unit
    auto* edit = qobject_cast<QLineEdit*>(Field(&w, "Amount, tickets"));
    EXPECT_NE(edit, amount);
    EXPECT_EQ(w.focusWidget(), edit);
    EXPECT_EQ(edit->cursorPosition(), 1);
    QTest::keyClick(edit, Qt::Key_Backspace);
    edit = qobject_cast<QLineEdit*>(Field(&w, "Amount, ticket"));
    EXPECT_EQ(w.focusWidget(), edit);
    EXPECT_EQ(edit->cursorPosition(), 0);

    // A field's problem shows once it is typed in, the form's after Calculate,
    // which goes to the first field to put right.
    QTest::keyClick(edit, Qt::Key_X);
    const auto shown = [&w](const char* text) {
        for (QLabel* l : w.findChildren<QLabel*>()) {
            if (l->text() == QLatin1String(text)) return !l->isHidden();
        }
        return false;
    };
    EXPECT_TRUE(shown("The amount must be a whole number."));
    EXPECT_FALSE(shown("Pick a number."));
    Field(&w, "Zone, mm")->setFocus();
    w.calculate();
    EXPECT_EQ(Verdict(&w), "Not calculated: put right what is marked in red. Pick a number.");
    EXPECT_TRUE(shown("Pick a number."));
    EXPECT_EQ(w.focusWidget(), Field(&w, "Amount, tickets"));
    QTest::keyClick(Field(&w, "Amount, tickets"), Qt::Key_Backspace);
    w.calculate();
    EXPECT_EQ(Verdict(&w), "Not calculated: Pick a number.");

    // An answer with two charts and a file to save; a lone report has no tab bar.
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("tabs"));
    EXPECT_TRUE(tabs->tabBar()->isHidden());
    const auto toggles = w.findChild<QWidget*>(QStringLiteral("form"))->findChildren<QToolButton*>();
    ASSERT_EQ(toggles.size(), 12);
    toggles[6]->click();
    toggles[2]->setFocus();
    toggles[2]->click(); // another unit: the picks keep the focus
    EXPECT_TRUE(Field(&w, "Picks")->isAncestorOf(w.focusWidget()));
    w.calculate();
    EXPECT_EQ(Verdict(&w), "Picked 3 7.");
    EXPECT_FALSE(tabs->tabBar()->isHidden());
    EXPECT_TRUE(tabs->documentMode());
    EXPECT_EQ(tabs->tabText(1) + ' ' + tabs->tabText(2), "Chart &1 Chart &2");
    QPushButton* save = nullptr;
    for (QPushButton* b : w.findChildren<QPushButton*>()) {
        if (b->text() == "Save Tickets as CSV…") save = b;
    }
    ASSERT_NE(save, nullptr);
    p.journal.clear();
    p.answers = {std::nullopt, "/out/t.csv", "/out/u.csv"};
    save->click(); // cancelled
    save->click();
    p.files.readOnlyFolder = true;
    save->click();
    const std::string dialog = "save dialog \"Save Tickets as CSV\" filter \"CSV files (*.csv)|*.csv|All files "
                               "(*.*)|*.*\" flags 0 offering \"tickets.csv\"";
    EXPECT_EQ(p.journal,
              (testing::Journal{dialog, "  cancelled", dialog, "  chosen \"/out/t.csv\"", "write /out/t.csv \"1,2\\n\"",
                                dialog, "  chosen \"/out/u.csv\"", "write /out/u.csv \"1,2\\n\" fails",
                                "error \"Save\" \"The file could not be written\""}));

    // Told to wait: the bar shows after a moment, and Escape stops.
    p.files.files.clear();
    Field(&w, "No wait")->setFocus();
    QTest::keyClick(Field(&w, "No wait"), Qt::Key_Space);
    EXPECT_EQ(w.session().values().at("picks"), "3 7");
    w.calculate();
    EXPECT_TRUE(w.busy());
    auto* bar = w.findChild<QProgressBar*>();
    ASSERT_TRUE(QTest::qWaitFor([bar] { return !bar->isHidden(); }, 5000));
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_EQ(bar->value(), 0);
    QTest::keyClick(&w, Qt::Key_Escape); // stops; a second Escape would close
    EXPECT_EQ(Verdict(&w), "Stopped: nothing was computed or remembered.");
    EXPECT_TRUE(p.files.files.empty());
    // Ready for the next run.
    const auto buttons = w.findChildren<QPushButton*>();
    const auto again = std::find_if(buttons.begin(), buttons.end(),
                                    [](const QPushButton* b) { return b->text() == QStringLiteral("&Calculate"); });
    ASSERT_NE(again, buttons.end());
    EXPECT_TRUE((*again)->isEnabled());
    EXPECT_TRUE((*again)->isDefault()); // drawn as the button Enter presses
}

// A shared link: the game first, with its remembered answers, then the rest over them.
TEST(FormSession, ALinkSetsTheGameFirstThenTheRest)
{
    testing::FakePlatform p;
    const auto tools = MakeTools({std::make_shared<const GameCatalog>(LoadGameCatalog({FORTELLE_GAMES_SOURCE}))});
    const auto value = std::find_if(tools.begin(), tools.end(), [](const auto& t) { return t->info().id == "value"; });
    ASSERT_NE(value, tools.end());
    forms::Memory memory(p.files);
    memory.keep("value", "euromillions", {{"game", "euromillions"}, {"jackpot", "17000000"}});
    memory.keep("value", "us-powerball", {{"game", "us-powerball"}});
    forms::Session session(**value, memory);
    session.setAll({{"tax", "5"}, {"game", "euromillions"}});
    EXPECT_EQ(session.values().at("game"), "euromillions");
    EXPECT_EQ(session.values().at("jackpot"), "17000000");
    EXPECT_EQ(session.values().at("tax"), "5");
    // The last game's file is gone: the form opens on the first game offered, with its answers.
    const forms::Field games = (*value)->fields({}).front();
    ASSERT_EQ(games.key, "game");
    const std::string first = games.options.front().value;
    memory.keep("value", first, {{"game", first}, {"jackpot", "123"}});
    memory.keep("value", "gone", {{"game", "gone"}});
    const forms::Session reopened(**value, memory);
    EXPECT_EQ(reopened.values().at("game"), first);
    EXPECT_EQ(reopened.values().at("jackpot"), "123");
}

} // namespace
} // namespace fortelle
