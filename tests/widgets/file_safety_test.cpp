// Where the file dialogs start.
#include <QFileDialog>
#include <QLineEdit>
#include <filesystem>

#include "platform/qt/qt_dialogs.h"
#include "window_fixture.h"

namespace fortelle {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

TEST(DialogFolders, StartAmongTheDocumentsThenWhereTheUserLastWent)
{
    testing::TempFolder folder;
    const fs::path home = folder.path() / "home";
    for (const char* sub : {"home/Documents", "elsewhere", "other", "program"}) {
        fs::create_directories(folder.path() / sub);
    }
    folder.write("elsewhere/a.txt", "a");
    // A home of its own, which the per-user and documents folders follow.
    const char* variables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"};
    QByteArray saved[3];
    for (int i = 0; i < 3; ++i) {
        saved[i] = qgetenv(variables[i]);
        qunsetenv(variables[i]);
    }
    qputenv("HOME", Q(home).toUtf8());

    struct Step {
        const char* button;
        fs::path chosen;   // empty: cancel
        fs::path startsIn; // the folder the dialog shows first
    };
    const fs::path docs = home / "Documents";
    const std::vector<std::pair<QString, std::vector<Step>>> runs{
        // Installed for the whole system: the program's own files are in a hidden folder.
        {"/usr/bin",
         {{"Open", folder.path() / "elsewhere/a.txt", docs},
          {"Save", folder.path() / "other/b.txt", folder.path() / "elsewhere"},
          {"Print", {}, folder.path() / "other"},
          {"Open", {}, folder.path() / "other"}}},
        // In a folder of its own, the dialogs start there, as they always have.
        {Q(folder.path() / "program"), {{"Open", {}, folder.path() / "program"}}},
    };
    for (const auto& [programFolder, steps] : runs) {
        MainWindow window(programFolder);
        for (const Step& step : steps) {
            QString startsIn;
            window.dialogs().onShow = [&](QDialog& dialog) {
                if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
                    startsIn = files->directory().absolutePath();
                } else if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("filename"))) {
                    startsIn = QFileInfo(name->text()).absolutePath();
                }
                QMetaObject::invokeMethod(
                    &dialog,
                    [&dialog, &step] {
                        auto* files = qobject_cast<QFileDialog*>(&dialog);
                        if (step.chosen.empty() || !files) return dialog.reject();
                        files->selectFile(Q(step.chosen));
                        QMetaObject::invokeMethod(files, "accept");
                    },
                    Qt::QueuedConnection);
            };
            window.button(QString::fromLatin1(step.button))->click();
            EXPECT_EQ(startsIn.toStdString(), step.startsIn.string())
                << step.button << " from " << programFolder.toStdString();
        }
    }
    EXPECT_EQ(folder.read("other/b.txt"), "a");
    for (int i = 0; i < 3; ++i) qputenv(variables[i], saved[i]);
}

} // namespace
} // namespace fortelle
