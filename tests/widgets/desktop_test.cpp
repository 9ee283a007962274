// The window as a desktop program: menus and keys, the help, readable text
// under any colour scheme, the user's style, the remembered geometry and
// Qt's texts in the user's language.
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTranslator>
#include <cmath>
#include <set>

#include "lottery/digit_games.h"
#include "platform/qt/qt_dialogs.h"
#include "shell/qt/desktop.h"
#include "shell/texts.h"
#include "window_fixture.h"

namespace fortelle {
namespace {

using testing::WindowTest;

class Desktop : public WindowTest {
protected:
    QStringList shown; // the dialogs that opened, by object name

    void SetUp() override
    {
        WindowTest::SetUp();
        window->dialogs().onShow = [this](QDialog& dialog) {
            shown << dialog.objectName();
            QMetaObject::invokeMethod(&dialog, &QDialog::reject, Qt::QueuedConnection);
        };
    }
    // A dialog takes the activation with it; shortcuts need it back.
    void activate()
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QAction* entry(const QString& text) const
    {
        for (QAction* menu : window->menuBar()->actions()) {
            for (QAction* action : menu->menu()->actions()) {
                if (action->text() == text) return action;
            }
        }
        ADD_FAILURE() << "no menu entry " << text.toStdString();
        return new QAction(window.get());
    }
};

TEST_F(Desktop, KeysAndMenuEntriesRunTheButtonsHandlers)
{
    // File first (Alt+F), Help last (Alt+H), and each tools' menu once between.
    QStringList menus;
    for (const QAction* menu : window->menuBar()->actions()) menus << menu->text();
    EXPECT_EQ(menus.join(QLatin1Char(' ')).toStdString(), "&File &Games &Value &Prices &Racing &Wheels &Help");
    for (const auto& [keys, text, dialog] :
         {std::tuple{Qt::Key_O, "&Open…", "openDialog"}, std::tuple{Qt::Key_S, "&Save…", "saveDialog"},
          std::tuple{Qt::Key_P, "&Print…", "printDialog"}}) {
        shown.clear();
        activate();
        QTest::keyClick(window.get(), keys, Qt::ControlModifier);
        entry(QString::fromUtf8(text))->trigger();
        EXPECT_EQ(shown, QStringList({dialog, dialog})) << text;
    }
    activate();
    QTest::keyClick(window.get(), Qt::Key_F1);
    auto* help = window->findChild<QDialog*>(QStringLiteral("help"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->findChild<QTextBrowser*>()->toPlainText().contains("How answers are read"));
    EXPECT_TRUE(help->findChild<QTextBrowser*>()->openExternalLinks()); // a web address opens in the browser
    help->close();
    entry(QStringLiteral("Fortelle &Help"))->trigger();
    EXPECT_TRUE(help->isVisible());

    QString about;
    QTimer::singleShot(0, [&about] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            about = box->text(), box->accept();
    });
    entry(QStringLiteral("&About Fortelle"))->trigger();
    EXPECT_TRUE(about.contains("Calculate odds for lottery, horses, sports"));

    // Each menu's access keys are letters, none taken twice.
    for (QAction* top : window->menuBar()->actions()) {
        emit top->menu()->aboutToShow();
        QString keys;
        for (const QAction* a : top->menu()->actions()) {
            const QString text = QString(a->text()).remove(QStringLiteral("&&"));
            const auto at = text.indexOf(QLatin1Char('&'));
            if (at < 0) continue;
            ASSERT_LT(at + 1, text.size());
            const QChar key = text[at + 1].toLower();
            EXPECT_TRUE(key.isLetter() && !keys.contains(key)) << text.toStdString();
            keys += key;
        }
    }
    // The Games menu: the games, one line, then the tools of their own.
    QStringList games;
    for (const QAction* a : window->findChild<QMenu*>(QStringLiteral("gamesMenu"))->actions())
        games << (a->isSeparator() ? QStringLiteral("|") : a->text());
    EXPECT_EQ(games.count(QStringLiteral("|")), 1) << games.join(' ').toStdString();
    EXPECT_TRUE(games.indexOf(QStringLiteral("|")) > games.indexOf(QStringLiteral("US Powerball")));

    activate();
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Desktop, AGameFileThatCannotBeReadIsNamed)
{
    // A game file the user added that cannot be read is passed over, and the
    // menu says so; with no game left at all, the menu says that too.
    testing::TempFolder data;
    std::filesystem::create_directories(data.path() / "fortelle/games");
    std::filesystem::create_directories(data.path() / "none");
    data.write("fortelle/games/mine.json", "{\"id\": ");
    const QByteArray games = qgetenv("FORTELLE_GAMES_DIR");
    auto* menu = window->findChild<QMenu*>(QStringLiteral("gamesMenu"));
    const auto entries = [menu] {
        emit menu->aboutToShow();
        QStringList texts;
        for (const QAction* a : menu->actions()) texts << a->text() + (a->isEnabled() ? "" : " (off)");
        return texts.join(u'|');
    };
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.path().string()));
    const QString some = entries();
    qputenv("FORTELLE_GAMES_DIR", QByteArray::fromStdString((data.path() / "none").string()));
    const QString none = entries();
    qputenv("FORTELLE_GAMES_DIR", games);
    qunsetenv("XDG_DATA_HOME");
    EXPECT_TRUE(some.contains(QStringLiteral("US Powerball|")) && !some.contains(QStringLiteral("no game")));
    EXPECT_TRUE(some.endsWith(QStringLiteral("|Game files passed over…"))) << some.toStdString();
    EXPECT_TRUE(none.endsWith(QStringLiteral("|(no game files found) (off)||Game files passed over…")))
        << none.toStdString();
}

TEST_F(Desktop, EnterAndSpaceClickTheFocusedButton)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        window->outputBox()->clear();
        window->button("Pick4")->setFocus();
        QTest::keyClick(window->button("Pick4"), key);
        EXPECT_EQ(boxText(), Lf(Pick4Report())) << key;
    }
}

// WCAG's contrast ratio of two colours.
double Contrast(const QColor& a, const QColor& b)
{
    auto luminance = [](const QColor& c) {
        auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)}); // values, not references
    return (light + 0.05) / (dark + 0.05);
}

TEST(DesktopColours, TextStaysReadableUnderALightAndADarkPalette)
{
    const QPalette saved = QApplication::palette();
    QPalette dark(QColor(40, 40, 40), QColor(53, 53, 53));
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        dark.setColor(role, Qt::white);
    }
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    for (const QPalette& palette : {saved, dark}) {
        QApplication::setPalette(palette);
        testing::TempFolder folder;
        MainWindow window(QString::fromStdString(folder.path().string()));
        for (QPushButton* b : window.client()->findChildren<QPushButton*>()) {
            EXPECT_GE(Contrast(b->palette().color(QPalette::ButtonText), b->palette().color(QPalette::Button)), 4.5)
                << b->objectName().toStdString();
        }
        const QPalette box = window.outputBox()->palette();
        EXPECT_GE(Contrast(box.color(QPalette::Text), box.color(QPalette::Base)), 4.5);
        const QPalette banner = window.banner()->palette();
        EXPECT_GE(Contrast(banner.color(QPalette::WindowText), banner.color(QPalette::Window)), 4.5);
    }
    QApplication::setPalette(saved);
}

TEST_F(Desktop, ButtonFacesStayLightGreenInTheUsersStyle)
{
    for (const char* name : {"Fusion", "Windows"}) {
        QPushButton* button = window->button("Horses");
        std::unique_ptr<QStyle> style(QStyleFactory::create(QString::fromLatin1(name)));
        button->setStyle(style.get());
        // A green hue, strongly coloured and light: a style may shade the face, not grey it.
        const QColor face = button->grab().toImage().pixelColor(6, button->height() / 2);
        EXPECT_TRUE(std::abs(face.hslHue() - 120) <= 15 && face.hslSaturationF() > 0.5 && face.lightnessF() > 0.6)
            << name << " " << face.name().toStdString();
        button->setStyle(nullptr);
    }
}

TEST_F(Desktop, TheWindowIsWhereItWasLastTimeWithinTheScreen)
{
    const QRect screen = window->screen()->availableGeometry();
    const QRect placed(screen.left() + 30, screen.top() + 40, 700, 580);
    window->setGeometry(placed);
    window->close();
    MainWindow again(QString::fromStdString(folder.path().string()));
    EXPECT_EQ(again.geometry(), placed);

    again.move(screen.right() + 2000, screen.bottom() + 2000);
    again.close();
    MainWindow third(QString::fromStdString(folder.path().string()));
    EXPECT_TRUE(screen.intersects(third.geometry()));
}

TEST(DesktopChoices, TheUsersStyleAndLanguage)
{
    const std::pair<std::vector<const char*>, bool> cases[] = {{{"fortelle"}, false},
                                                               {{"fortelle", "-style", "windows"}, true},
                                                               {{"fortelle", "--style=windows"}, true},
                                                               {{"fortelle", "-stylesheet=x.qss"}, false}};
    for (const auto& [args, chosen] : cases) {
        EXPECT_EQ(StyleChosenByUser(static_cast<int>(args.size()), args.data()), chosen) << args.back();
    }
    qputenv("QT_STYLE_OVERRIDE", "windows");
    EXPECT_TRUE(StyleChosenByUser(1, std::vector<const char*>{"fortelle"}.data()));
    qunsetenv("QT_STYLE_OVERRIDE");

    QTranslator* german = InstallQtTranslations(QLocale(QLocale::German));
    ASSERT_NE(german, nullptr);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
    QCoreApplication::removeTranslator(german);
}

// What a program of the build prints and its exit status (-1: it crashed),
// run without a window system: one it needed would fail at once.
std::pair<int, QString> Program(const QString& program, const QStringList& args, const QString& output = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none-such"));
    process.setProcessEnvironment(env);
    if (!output.isEmpty()) process.setStandardOutputFile(output);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../") + program, args);
    EXPECT_TRUE(process.waitForFinished(20000)) << program.toStdString();
    const QString printed = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, printed};
}

TEST(DesktopProgram, AnswersVersionAndHelpWithoutAWindowAndWritesItsIcons)
{
    const QString about = QString::fromStdString(AboutText());
    EXPECT_EQ(Program("fortelle", {"-x", "--version"}), std::pair(0, about));
    EXPECT_EQ(Program("fortelle", {"--help"}),
              std::pair(0, QStringLiteral("Usage: fortelle [--version | --help]\nFortelle: Calculate odds for lottery, "
                                          "horses, sports\n")));
    EXPECT_EQ(Program("fortelle", {"--version"}, "/dev/full"), std::pair(1, QString())); // nothing reached the output

    // Sizes and files in pairs; a size that is none is refused.
    testing::TempFolder folder;
    const QString png = QString::fromStdString((folder.path() / "i.png").string());
    EXPECT_EQ(Program("fortelle_icon_writer", {}), std::pair(0, QString()));
    EXPECT_EQ(Program("fortelle_icon_writer", {"16", png, "32"}), std::pair(0, QString()));
    EXPECT_EQ(QImage(png).size(), QSize(16, 16));
    EXPECT_EQ(Program("fortelle_icon_writer", {"0", png}),
              std::pair(1, "fortelle_icon_writer: cannot write " + png + "\n"));
    // Crisp edges at the small sizes: the die's four colours, no shades between.
    for (const int size : {32, 33}) {
        const QImage icon = DrawIcon(size);
        std::set<QRgb> colours;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) colours.insert(icon.pixel(x, y));
        }
        EXPECT_EQ(colours.size() == 4, size == 32) << colours.size();
    }
}

} // namespace
} // namespace fortelle
