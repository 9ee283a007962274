// How long a long report takes to reach the output box, against a bare
// QTextEdit::setPlainText of the same text measured in the same run.
//
//   fortelle_bench            every case
//   fortelle_bench 100000     one generated report of that many lines
//   fortelle_bench soccer     the million-game soccer report alone (its peak memory)
//
// Prints one line per case: both times, their ratio, and the peak memory of
// the process so far. It is a measurement, not a test: it never fails.
#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "platform/qt/qt_output_box.h"
#include "platform/std_file_system.h"
#include "shell/pipeline.h"
#include "shell/report.h"
#include "filetools/decoding.h"
#include "cli/command_line.h"
#include "lottery/lotto.h"
#include "lottery/powerball.h"
#include "wagers/pools.h"

namespace {

using fortelle::Report;

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A report of n lines shaped like the pool reports.
std::string GeneratedReport(int lines)
{
    Report r;
    for (int k = 0; k < lines; ++k) r.line("~", k, "of", lines, " -> 1 in", 12345.67 + k);
    return r.take();
}

double Seconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void Measure(const char* name, const std::function<std::string()>& makeReport)
{
    std::string report;
    const double build = Seconds([&] { report = makeReport(); });

    // Baseline: the same text, line feeds only, set on a fresh box.
    QString plain = QString::fromStdString(report);
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    double bare = 0;
    {
        QTextEdit edit;
        bare = Seconds([&] { edit.setPlainText(plain); });
    }
    plain.clear();

    // The pipeline: box prepared, scratch file written and read back, report
    // shown in the report font.
    double ours = 0;
    {
        QTextEdit edit;
        fortelle::QtOutputBox box(edit);
        fortelle::StdFileSystem files;
        ours = Seconds([&] {
            fortelle::PrepareOutputBox(box);
            fortelle::ShowReport(files, box, report);
        });
    }
    std::printf("%-28s build %6.3f s   setPlainText %6.3f s   ShowReport %6.3f s   ratio %5.2f   "
                "peak %7.1f MB\n",
                name, build, bare, ours, ours / bare, PeakMegabytes());
    std::fflush(stdout);
}

// Opening a large text file: read, decoded and put into the box, against a
// bare setPlainText of the same text.
void MeasureOpen(std::size_t megabytes)
{
    const std::string path = "big-file.txt";
    {
        std::string text;
        text.reserve(megabytes << 20);
        for (int line = 0; text.size() < (megabytes << 20); ++line) {
            text += "Line " + std::to_string(line) + " of a large text file, caf\xC3\xA9 \xE2\x80\xA2\r\n";
        }
        fortelle::StdFileSystem().replaceWith(path, text);
    }
    fortelle::StdFileSystem files;
    double bare = 0;
    {
        const std::string bytes = *files.readAll(path, fortelle::FileSystem::kNoLimit);
        QString plain = QString::fromStdString(fortelle::CrLfToLineFeeds(bytes));
        QTextEdit edit;
        bare = Seconds([&] { edit.setPlainText(plain); });
    }
    double ours = 0;
    {
        QTextEdit edit;
        fortelle::QtOutputBox box(edit);
        ours = Seconds([&] {
            box.setText("");
            const auto bytes = files.readAll(path, fortelle::FileSystem::kNoLimit);
            box.insertAtCaret(fortelle::DecodeFileBytes(*bytes));
        });
    }
    files.removeFile(path);
    std::printf("%-28s build %6.3f s   setPlainText %6.3f s   Open       %6.3f s   ratio %5.2f   "
                "peak %7.1f MB\n",
                (std::to_string(megabytes) + " MB file opened").c_str(), 0.0, bare, ours,
                ours / bare, PeakMegabytes());
    std::fflush(stdout);
}

// Every calculator's largest accepted input, from answer to report text
// (the display of the long ones is measured above).
void MeasureLargestInputs()
{
    const std::vector<std::vector<std::string>> cases{
        {"pick3"},
        {"pick4"},
        {"roulette"},
        {"lotto", "2147483647", "2147483647", "1073741823"},
        {"powerball", "2147483647", "2147483647", "2147483647", "1073741823"},
        {"euro", "2147483647", "1073741823", "2147483647", "1073741823"},
        {"horses", "2147483647"},
        {"soccer", "2147483647"},
        {"parlay", "2147483647"},
        {"stddev", "32767", "32767", "1.7976931348623157e308"},
    };
    std::printf("\nLargest accepted inputs (answer to report text, goal under 2 s):\n");
    for (const auto& args : cases) {
        std::size_t bytes = 0;
        const double t = Seconds([&] { bytes = fortelle::RunCommandLine(args).out.size(); });
        std::string name;
        for (const auto& a : args) name += a + " ";
        std::printf("  %-62s %7.3f s  %10zu bytes\n", name.c_str(), t, bytes);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Work in a folder of our own: the scratch file goes there.
    const auto folder = std::filesystem::temp_directory_path() /
                        ("fortelle-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);

    if (argc > 1 && std::string(argv[1]) == "soccer") {
        Measure("soccer 1,000,000 games", [] { return fortelle::SoccerReport(1000000); });
    } else if (argc > 1) {
        const int lines = std::atoi(argv[1]);
        Measure(argv[1], [lines] { return GeneratedReport(lines); });
    } else {
        Measure("100,000 lines", [] { return GeneratedReport(100000); });
        Measure("1,000,000 lines", [] { return GeneratedReport(1000000); });
        Measure("soccer 1,000,000 games", [] { return fortelle::SoccerReport(1000000); });
        Measure("parlay 1,000,000 games", [] { return fortelle::ParlayReport(1000000); });
        // The largest lottery games the cap allows: 1000 drawn from 2^31 - 1,
        // every row on the exact path.
        Measure("lotto 2147483647/1000", [] {
            return fortelle::LottoReport({2147483647, fortelle::kMostDrawn, 1073741823});
        });
        Measure("powerball 2147483647/1000", [] {
            return fortelle::PowerballReport({2147483647, 2147483647, fortelle::kMostDrawn, 1073741823});
        });
        MeasureOpen(50);
        MeasureLargestInputs();
    }
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder);
    return 0;
}
