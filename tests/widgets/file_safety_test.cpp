// Where the file dialogs start, and what the leak checker may overlook.
#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <cstring>
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
    const QProcessEnvironment saved = QProcessEnvironment::systemEnvironment();
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
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
        QString startsIn;
        for (const Step& step : steps) {
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
        // A printer that already names its file keeps it.
        window.dialogs().onShow = [&startsIn](QDialog& dialog) {
            startsIn = QFileInfo(dialog.findChild<QLineEdit*>(QStringLiteral("filename"))->text()).absolutePath();
            QMetaObject::invokeMethod(&dialog, &QDialog::reject, Qt::QueuedConnection);
        };
        window.dialogs().preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(Q(home / "mine.pdf"));
        };
        window.button(QStringLiteral("Print"))->click();
        EXPECT_EQ(startsIn.toStdString(), home.string());
    }
    EXPECT_EQ(folder.read("other/b.txt"), "a");
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
        saved.contains(name) ? qputenv(name, saved.value(name).toUtf8()) : qunsetenv(name);
    }
}

#if defined(__SANITIZE_ADDRESS__)
#define FORTELLE_CHECKS_LEAKS 1
// The leak suppressions name functions, and a report shows Qt's functions
// only when each allocation's stack is unwound whole: Qt's libraries are
// built without frame pointers.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}
#endif

// Leak suppressions name the Qt caches that live as long as the process;
// a leak that starts in our own code must still be reported, even when the
// memory lost was allocated inside Qt.
TEST(LeakSuppressions, ALeakStartingInOurCodeIsReportedEvenInsideQt)
{
#ifdef FORTELLE_CHECKS_LEAKS
    const fs::path suppressions = fs::path(__FILE__).parent_path().parent_path() / "lsan.supp";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LSAN_OPTIONS", "suppressions=" + Q(suppressions) + ":print_suppressions=0");
    env.insert("ASAN_OPTIONS", "detect_leaks=1");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests", "--gtest_filter=LeakSuppressions.DISABLED_LoseAQtBuffer"});
    ASSERT_TRUE(child.waitForFinished(-1));
    const QString errors = QString::fromUtf8(child.readAllStandardError());
    EXPECT_TRUE(child.exitStatus() == QProcess::CrashExit || child.exitCode() != 0) << errors.toStdString();
    // The report names the frame in our code where the loss started.
    EXPECT_TRUE(errors.contains("widgets/file_safety_test.cpp")) << errors.toStdString();
#else
    GTEST_SKIP() << "only a build with the address sanitizer checks leaks";
#endif
}

TEST(LeakSuppressions, DISABLED_LoseAQtBuffer)
{
    // A byte array whose only pointer to its buffer is then wiped: the
    // buffer, allocated inside Qt, is lost by our code.
    alignas(QByteArray) static unsigned char raw[sizeof(QByteArray)];
    new (raw) QByteArray(4096, 'x');
    std::memset(raw, 0, sizeof raw);
}

} // namespace
} // namespace fortelle
