// The program as installed in a read-only prefix: run by
// scripts/test-install.sh as a user who cannot write there, with
// FORTELLE_INSTALLED_BIN naming the installed program's folder. Every
// calculator must still work, remembering its values in the per-user folder.
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <filesystem>
#include <set>

#include "window_fixture.h"

namespace fortelle {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Entries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

TEST(ReadOnlyInstall, EveryCalculatorWorksAndRemembersInThePerUserFolder)
{
    const QString installed = qEnvironmentVariable("FORTELLE_INSTALLED_BIN");
    if (installed.isEmpty()) GTEST_SKIP() << "run by scripts/test-install.sh";
    QCoreApplication::setApplicationName(QStringLiteral("fortelle"));
    const fs::path bin = installed.toStdString();
    const std::set<std::string> before = Entries(bin);

    MainWindow window(installed);
    const fs::path perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
    EXPECT_EQ(fs::current_path(), perUser);

    // Accept whatever each prompt offers.
    window.prompt().onShow = [](QDialog& dialog) {
        QMetaObject::invokeMethod(
            &dialog, [&dialog] { dialog.accept(); }, Qt::QueuedConnection);
    };
    const std::vector<std::pair<const char*, const char*>> buttons{
        {"Pick3", nullptr},       {"Pick4", nullptr},
        {"Roulette", nullptr},    {"Pick5", "Lotto.INI"},
        {"Pick6", "Power51.INI"}, {"EuroOdds", "EuroOdds.INI"},
        {"Horses", "Horses.INI"}, {"PowerOdds", "SoccerBet.INI"},
        {"USBet", "USBet.INI"},   {"StdDev", "StDv.INI"}};
    for (const auto& [name, file] : buttons) {
        SCOPED_TRACE(name);
        window.outputBox()->clear();
        window.button(QString::fromLatin1(name))->click();
        EXPECT_GT(window.outputBox()->toPlainText().size(), 100);
        if (file) {
            EXPECT_TRUE(fs::exists(perUser / file));
        }
    }
    EXPECT_FALSE(fs::exists(perUser / "zavixs"));
    EXPECT_EQ(Entries(bin), before); // nothing written beside the program
}

} // namespace
} // namespace fortelle
