// What the user sees: the real window, shown on a real display (run it under
// Xvfb, see scripts/bench-window.sh), its real button handlers driven as a
// person would drive them. Each case is timed from the moment the prompt's
// answer (or the chosen file) is accepted until the report is laid out and
// painted and the event queue is empty, next to a bare shown QPlainTextEdit
// and a bare shown QTextEdit given the same text in the same run.
//
//   fortelle_bench                 every case, each in a fresh process
//   fortelle_bench CASE WIDGET     one case on one widget
//       CASE:   soccer:N (a report of N + 5 lines), parlay:N, file:MB,
//               defaults (every calculator's first-run report),
//               largest (every calculator's largest input, answer to report
//               text, no window)
//       WIDGET: fortelle | plain | rich
//
// Prints seconds and the process's peak memory. A measurement, not a test.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTextEdit>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include <sys/resource.h>
#include <unistd.h>

#include "cli/command_line.h"
#include "filetools/decoding.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_prompt.h"
#include "platform/std_file_system.h"
#include "shell/qt/main_window.h"
#include "shell/report.h"

namespace {

namespace fs = std::filesystem;

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Runs the event loop until nothing has happened for 100 ms (longer than the
// 10 ms slices in which QTextEdit lays out a long document in the background)
// and returns the moment, on `clock`, of the last event handled: the end of
// layout and painting.
double UntilIdle(const QElapsedTimer& clock)
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    double lastBusy = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    for (;;) {
        QApplication::sendPostedEvents();
        const bool busy = dispatcher->processEvents(QEventLoop::AllEvents);
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (busy) {
            lastBusy = now;
        } else if (now - lastBusy > 0.1) {
            return lastBusy;
        } else {
            QThread::usleep(200);
        }
    }
}

void UntilIdle()
{
    QElapsedTimer clock;
    clock.start();
    UntilIdle(clock);
}

double Since(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; }

// The text the box shows for a case, line feeds only.
QString TextOf(const std::string& caseName)
{
    const auto colon = caseName.find(':');
    const std::string kind = caseName.substr(0, colon);
    const std::string value = colon == std::string::npos ? "" : caseName.substr(colon + 1);
    std::string bytes;
    if (kind == "file") {
        bytes = *fortelle::StdFileSystem().readAll("bench-file.txt", fortelle::FileSystem::kNoLimit);
        bytes = fortelle::DecodeFileBytes(bytes);
    } else {
        bytes = fortelle::RunCommandLine({kind, value}).out;
    }
    return QString::fromStdString(fortelle::CrLfToLineFeeds(bytes));
}

void MakeFile(std::size_t megabytes)
{
    std::string text;
    text.reserve(megabytes << 20);
    // Whole lines up to the size, never beyond: file:64 is the largest file Open takes.
    for (int line = 0;; ++line) {
        const std::string next = "Line " + std::to_string(line) + " of a large text file, caf\xC3\xA9 \xE2\x80\xA2\r\n";
        if (text.size() + next.size() > (megabytes << 20)) break;
        text += next;
    }
    fortelle::StdFileSystem().replaceWith("bench-file.txt", text);
}

// A bare widget of the box's size and font, shown on its own.
template <typename Edit>
double Bare(const QString& text)
{
    Edit edit;
    edit.resize(624, 305);
    edit.setFont(fortelle::DesignFont(QStringLiteral("Courier New"), 10, true));
    edit.setLineWrapMode(Edit::NoWrap);
    edit.show();
    UntilIdle();
    QElapsedTimer t;
    t.start();
    edit.setPlainText(text);
    return UntilIdle(t);
}

// The real window: the button clicked, its prompt (or file dialog) answered.
double Window(const std::string& caseName, const fs::path& folder)
{
    fortelle::MainWindow window(QString::fromStdString(folder.string()));
    window.show();
    UntilIdle();
    QElapsedTimer t;
    auto accept = [&t](QDialog& dialog) {
        QMetaObject::invokeMethod(
            &dialog,
            [&dialog, &t] {
                t.start();
                dialog.accept();
            },
            Qt::QueuedConnection);
    };
    const auto colon = caseName.find(':');
    const std::string kind = caseName.substr(0, colon);
    if (kind == "file") {
        const QString path = QString::fromStdString((folder / "bench-file.txt").string());
        window.dialogs().onShow = [&, path](QDialog& dialog) {
            static_cast<QFileDialog&>(dialog).selectFile(path);
            QMetaObject::invokeMethod(
                &dialog,
                [&dialog, &t] {
                    t.start();
                    QMetaObject::invokeMethod(&dialog, "accept");
                },
                Qt::QueuedConnection);
        };
        window.button(QStringLiteral("Open"))->click();
    } else {
        const QString games = QString::fromStdString(caseName.substr(colon + 1));
        window.prompt().onShow = [&, games](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("answer"))->setText(games);
            accept(dialog);
        };
        window.button(kind == "soccer" ? QStringLiteral("PowerOdds") : QStringLiteral("USBet"))->click();
    }
    return UntilIdle(t);
}

// Every calculator's first-run report in the real window, the slowest of
// them from the last answer to painted.
double Defaults(const fs::path& folder)
{
    fortelle::MainWindow window(QString::fromStdString(folder.string()));
    window.show();
    UntilIdle();
    QElapsedTimer t;
    window.prompt().onShow = [&t](QDialog& dialog) {
        QMetaObject::invokeMethod(
            &dialog,
            [&dialog, &t] {
                t.start();
                dialog.accept();
            },
            Qt::QueuedConnection);
    };
    double slowest = 0;
    for (const char* name :
         {"Pick3", "Pick4", "Pick5", "Pick6", "EuroOdds", "Horses", "Roulette", "USBet", "PowerOdds", "StdDev"}) {
        t.start();
        window.button(QString::fromLatin1(name))->click();
        const double seconds = UntilIdle(t);
        std::printf("    %-10s %7.2f ms\n", name, seconds * 1e3);
        slowest = std::max(slowest, seconds);
    }
    return slowest;
}

// Every calculator's largest accepted input, from answer to report text.
void LargestInputs()
{
    const std::vector<std::vector<std::string>> cases{
        {"lotto", "2147483647", "2147483647", "1073741823"},
        {"powerball", "2147483647", "2147483647", "2147483647", "1073741823"},
        {"euro", "2147483647", "1073741823", "2147483647", "1073741823"},
        {"horses", "2147483647"},
        {"soccer", "2147483647"},
        {"parlay", "2147483647"},
        {"stddev", "32767", "32767", "1.7976931348623157e308"},
    };
    std::printf("Largest accepted inputs, answer to report text:\n");
    for (const auto& args : cases) {
        QElapsedTimer t;
        t.start();
        const std::size_t bytes = fortelle::RunCommandLine(args).out.size();
        std::string name;
        for (const auto& a : args) name += a + " ";
        std::printf("    %-62s %7.3f s  %10zu bytes\n", name.c_str(), Since(t), bytes);
    }
}

int RunOne(const std::string& caseName, const std::string& widget)
{
    if (caseName == "largest") {
        LargestInputs();
        return 0;
    }
    const fs::path folder = fs::temp_directory_path() / ("fortelle-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::current_path(folder);
    if (caseName.rfind("file:", 0) == 0) MakeFile(std::stoul(caseName.substr(5)));
    double seconds = 0;
    if (caseName == "defaults") {
        seconds = Defaults(folder);
    } else if (widget == "fortelle") {
        seconds = Window(caseName, folder);
    } else {
        const QString text = TextOf(caseName);
        seconds = widget == "plain" ? Bare<QPlainTextEdit>(text) : Bare<QTextEdit>(text);
    }
    std::printf("%.4f %.1f\n", seconds, PeakMegabytes());
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    return 0;
}

// Runs one case in a fresh process, so that its peak memory is its own;
// three times, for the median time and the largest peak.
std::pair<double, double> Child(const QString& self, const QString& caseName, const QString& widget)
{
    std::vector<double> seconds;
    double peak = 0;
    for (int run = 0; run < 3; ++run) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(self, {caseName, widget});
        p.waitForFinished(-1);
        const QStringList words = QString::fromUtf8(p.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
        if (words.size() < 2) return {-1, -1};
        seconds.push_back(words[words.size() - 2].toDouble());
        peak = std::max(peak, words.last().toDouble());
    }
    std::sort(seconds.begin(), seconds.end());
    return {seconds[1], peak};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3) return RunOne(argv[1], argv[2]);

    const QString self = QApplication::applicationFilePath();
    std::printf("Shown window on %s; median seconds of 3 from the answer to laid out and idle,\n"
                "the largest peak memory; file:MB is a file of that many MiB opened.\n",
                qPrintable(QApplication::platformName()));
    std::printf("%-16s %10s %9s %10s %9s %10s %9s %8s\n", "case", "Fortelle", "MB", "plain", "MB", "rich", "MB",
                "ratio");
    for (const char* c : {"soccer:10000", "soccer:100000", "soccer:1000000", "parlay:1000000", "file:50", "file:64"}) {
        const auto [ours, oursMb] = Child(self, QString::fromLatin1(c), QStringLiteral("fortelle"));
        const auto [plain, plainMb] = Child(self, QString::fromLatin1(c), QStringLiteral("plain"));
        // A bare QTextEdit takes minutes on the largest file: measured up to 50 MB.
        const bool richToo = std::string_view(c) != "file:64";
        const auto [rich, richMb] =
            richToo ? Child(self, QString::fromLatin1(c), QStringLiteral("rich")) : std::pair{-1.0, -1.0};
        std::printf("%-16s %10.3f %9.1f %10.3f %9.1f %10.3f %9.1f %8.2f\n", c, ours, oursMb, plain, plainMb, rich,
                    richMb, ours / plain);
        std::fflush(stdout);
    }
    std::printf("Every calculator's first-run report, answer to painted:\n");
    std::fflush(stdout);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    for (const char* c : {"defaults", "largest"}) {
        p.start(self, {QString::fromLatin1(c), QStringLiteral("fortelle")});
        p.waitForFinished(-1);
    }
    return 0;
}
