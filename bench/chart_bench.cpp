// The charts' cost, next to a baseline measured in the same run.
//
//   fortelle_chart_bench data    every chart of every built-in game (Keno:
//                                100 games): its data, next to the same
//                                tool's report; the Keno spread of longer
//                                sessions next to the chance of being behind
//   fortelle_chart_bench draw    each kind of chart built and painted in its
//                                pane, next to a bare QChartView painting one
//                                plain line of as many points
//   fortelle_chart_bench show TOOL [KEY=VALUE...] [--tab N]
//                                the main window and the tool's window with
//                                those values calculated, the chart's tab
//                                chosen, left open (for screenshots)
//
// Each figure is the least of five runs, in milliseconds. A measurement, not
// a test: targets are under 100 ms for a chart's data and for its drawing.
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QLineSeries>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "charts/charts.h"
#include "forms/qt/chart_pane.h"
#include "forms/qt/tool_window.h"
#include "games/named_games.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/std_file_system.h"
#include "shell/qt/main_window.h"

namespace {

using namespace fortelle;

// The least time of five runs of `run`, in milliseconds.
double Least(const std::function<void()>& run)
{
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        best = std::min(best, static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return best;
}

// The built-in games, found as the programs find them from the build tree.
std::string GamesFolder() { return QCoreApplication::applicationDirPath().toStdString() + "/../share/fortelle/games"; }

GameCatalog Games() { return LoadGameCatalog({GamesFolder()}); }

struct Worst {
    double chart = 0, report = 0;
    std::string which;
    void add(const std::string& name, double c, double r)
    {
        if (c > chart) {
            chart = c;
            report = r;
            which = name;
        }
    }
};

int Data()
{
    const GameCatalog catalog = Games();
    Worst matches, draws, value, keno;
    int charts = 0;
    for (const GameDefinition& g : catalog.games) {
        for (int spots = g.keno ? g.spotsMin : 0; spots <= (g.keno ? g.spotsMax : 0); ++spots) {
            const std::string name = g.id + (g.keno ? " " + std::to_string(spots) : "");
            const GameOdds odds = ComputeGameOdds(g, spots);
            matches.add(name, Least([&] { charts::MatchesChart(ComputeGameOdds(g, spots)); }),
                        Least([&] { NamedGameReport(ComputeGameOdds(g, spots), false); }));
            // The rarest tier: the chart with the most powers of ten.
            ManyDrawsInput in{name, odds.p.back(), 1040};
            for (const Rational& p : odds.p) in.p = std::min(in.p, p);
            draws.add(name, Least([&] { charts::DrawsChart(in); }),
                      Least([&] { ManyDrawsReport(ComputeManyDraws(in)); }));
            charts += 2;
            if (g.keno && g.payTables.count(spots)) {
                const PayTable& pays = g.payTables.at(spots);
                const KenoReturn k = ComputeKenoReturn(g, spots, pays, false, 100);
                keno.add(name, Least([&] { charts::KenoChart(k); }),
                         Least([&] { KenoReturnReport(ComputeKenoReturn(g, spots, pays, false, 100)); }));
                ++charts;
            }
            if (g.keno) continue;
            ValueAssumptions a;
            a.jackpot = 500'000'000;
            a.taxRate = Rational(37, 100);
            a.taxAbove = Rational(600);
            a.ticketsSold = 100'000'000;
            if (!g.price) a.price = Rational(2);
            value.add(name, Least([&] { charts::ValueChart(g, a, true); }),
                      Least([&] { TicketValueReport(ComputeTicketValue(g, a)); }));
            ++charts;
        }
    }
    std::printf("Chart data: %d charts of %zu built-in games, least of 5 runs; the slowest of each kind\n", charts,
                catalog.games.size());
    std::printf("%-8s %-26s %10s %18s %8s\n", "kind", "game", "chart ms", "same tool's report", "ratio");
    for (const auto& [kind, w] : {std::pair{"matches", matches}, std::pair{"draws", draws}, std::pair{"value", value},
                                  std::pair{"keno", keno}}) {
        std::printf("%-8s %-26s %10.2f %15.2f ms %8.1f\n", kind, w.which.c_str(), w.chart, w.report,
                    w.chart / w.report);
    }
    // The Keno spread for longer sessions, next to the chance of being behind
    // alone (the Keno returns' own computation).
    const GameDefinition& mass = *catalog.find("keno-massachusetts");
    std::printf("%-8s %-26s %10s %18s %8s\n", "keno", "massachusetts 8, games", "chart ms", "Keno returns", "ratio");
    for (const std::int64_t games : {1000, 10000, 100000}) {
        const KenoReturn k = ComputeKenoReturn(mass, 8, mass.payTables.at(8), false, games);
        const double chart = Least([&] { charts::KenoChart(k); });
        const double report = Least([&] { ComputeKenoReturn(mass, 8, mass.payTables.at(8), false, games); });
        std::printf("%-8s %-26lld %10.2f %15.2f ms %8.1f\n", "", static_cast<long long>(games), chart, report,
                    chart / report);
    }
    return 0;
}

// Builds the pane, lays it out at 960 x 600 and paints it whole.
double Paint(const forms::Chart& chart, FileSystem& files, Dialogs& dialogs)
{
    return Least([&] {
        ChartPane pane(chart, files, dialogs);
        pane.resize(960, 600);
        pane.grab();
    });
}

double Bare(std::size_t points)
{
    return Least([&] {
        QChartView view;
        auto* line = new QLineSeries;
        for (std::size_t i = 0; i < points; ++i) line->append(static_cast<double>(i), static_cast<double>(i % 7));
        view.chart()->addSeries(line);
        view.chart()->createDefaultAxes();
        view.resize(960, 600);
        view.grab();
    });
}

int Draw()
{
    const GameCatalog catalog = Games();
    StdFileSystem files;
    QtDialogs dialogs(nullptr);
    const GameDefinition& powerball = *catalog.find("us-powerball");
    const GameOdds odds = ComputeGameOdds(powerball, 0);
    ValueAssumptions a;
    a.jackpot = 500'000'000;
    const std::vector<forms::Chart> cases{
        charts::DrawsChart({"US Powerball, jackpot", odds.p.front(), 1040}),
        charts::DrawsChart({"1 in 1E+30", Rational(1, BigInt("1000000000000000000000000000000")), 1040}),
        charts::ValueChart(powerball, a, true),
        charts::MatchesChart(odds),
        charts::MatchesChart(ComputeGameOdds(*catalog.find("keno"), 20)),
        *charts::KenoChart(ComputeKenoReturn(*catalog.find("keno-massachusetts"), 8,
                                             catalog.find("keno-massachusetts")->payTables.at(8), false, 1000)),
    };
    std::printf("Drawing: a chart pane built, laid out at 960 x 600 and painted whole (%s), least of 5 runs,\n"
                "next to a bare QChartView painting one line of as many points\n",
                qPrintable(QApplication::platformName()));
    std::printf("%-62s %7s %9s %9s %7s\n", "chart", "points", "pane ms", "bare ms", "ratio");
    for (const forms::Chart& c : cases) {
        std::size_t points = c.marks.size();
        for (const forms::Series& s : c.series) points += s.points.size();
        const double pane = Paint(c, files, dialogs), bare = Bare(points);
        std::printf("%-62s %7zu %9.2f %9.2f %7.1f\n", c.title.substr(0, 62).c_str(), points, pane, bare, pane / bare);
    }
    return 0;
}

int Show(int argc, char** argv)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "fortelle-chart-show";
    std::filesystem::create_directories(folder);
    if (qEnvironmentVariableIsEmpty("FORTELLE_GAMES_DIR")) qputenv("FORTELLE_GAMES_DIR", GamesFolder().c_str());
    auto* window = new MainWindow(QString::fromStdString(folder.string()));
    window->show();
    ToolWindow* tool = window->openTool(argv[2]);
    int tab = 1;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--tab" && i + 1 < argc) {
            tab = std::stoi(argv[++i]);
        } else if (arg.find('=') != std::string::npos) {
            tool->choose(arg.substr(0, arg.find('=')), arg.substr(arg.find('=') + 1));
        }
    }
    tool->resize(1000, 860);
    // Room for the chart: the form's part of the window as small as it goes.
    if (auto* splitter = tool->findChild<QSplitter*>()) splitter->setSizes({120, 2000});
    tool->move(20, 40);
    tool->calculate();
    QTimer::singleShot(1500, tool,
                       [tool, tab] { tool->findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(tab); });
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "data") return Data();
    if (mode == "draw") return Draw();
    if (mode == "show" && argc > 2) return Show(argc, argv);
    std::fprintf(stderr, "usage: fortelle_chart_bench data | draw | show TOOL [KEY=VALUE...] [--tab N]\n");
    return 2;
}
