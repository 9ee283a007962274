#include <QApplication>
#include <QStyleFactory>
#include <cstdio>
#include <string>

#include "platform/std_file_system.h"
#include "shell/qt/desktop.h"
#include "shell/qt/main_window.h"
#include "shell/texts.h"

namespace {

// Zero when everything written to standard output reached it.
int OutputStatus() { return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1; }

} // namespace

int main(int argc, char** argv)
{
    fortelle::IgnoreFileSizeSignal();
    // Answered before any window system is needed.
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--version") {
            std::fputs(fortelle::AboutText().c_str(), stdout);
            return OutputStatus();
        }
        if (arg == "--help") {
            std::printf("Usage: fortelle [--version | --help]\n%s: %s\n", std::string(fortelle::kProgramName).c_str(),
                        std::string(fortelle::kDescription).c_str());
            return OutputStatus();
        }
    }
    const bool styleChosen = fortelle::StyleChosenByUser(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fortelle"));
    QApplication::setApplicationVersion(QString::fromLatin1(fortelle::kVersion.data(), fortelle::kVersion.size()));
    // Docks and window lists find the icon through the desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.fortelle"));
    // One look on every desktop, in which the design's colours show, unless
    // the user chose another.
    if (!styleChosen) QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(fortelle::FortelleIcon());
    // Qt's own dialogs in the user's language; the program's texts stay.
    fortelle::InstallQtTranslations(QLocale());

    fortelle::MainWindow window(QApplication::applicationDirPath());
    window.show();
    return QApplication::exec();
}
