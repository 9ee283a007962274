#include <QLabel>
#include <QPalette>

#include "lottery/digit_games.h"
#include "shell/texts.h"
#include "shell/window_layout.h"
#include "wagers/roulette.h"
#include "window_fixture.h"

namespace fortelle {
namespace {

using testing::WindowTest;

QString Lf(const std::string& report)
{
    QString text = QString::fromStdString(report);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

TEST_F(WindowTest, TitleClientSizeAndColours)
{
    EXPECT_EQ(window->windowTitle(), "Fortelle");
    EXPECT_EQ(window->objectName(), "frmFortelle");
    EXPECT_EQ(window->size(), QSize(642, 516));
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(192, 255, 192));
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_FALSE(window->windowIcon().pixmap(16, 16).isNull());
    EXPECT_FALSE(window->windowIcon().pixmap(32, 32).isNull());
}

TEST_F(WindowTest, BannerLabelGeometryColoursAndText)
{
    QLabel* label = window->banner();
    EXPECT_EQ(label->objectName(), "Label1");
    EXPECT_EQ(label->geometry(), QRect(8, 8, 561, 57));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 64));
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(192, 255, 192));
    EXPECT_EQ(QFontInfo(label->font()).pointSizeF(), 12);
    EXPECT_EQ(label->font().styleHint(), QFont::Serif);
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "");
    EXPECT_TRUE(lines[1].contains("the Fortelle project"));
    EXPECT_TRUE(lines[2].contains("https://fortelle.example.org/odds"));
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
}

TEST_F(WindowTest, OutputBoxGeometryAndGreeting)
{
    QTextEdit* box = window->outputBox();
    EXPECT_EQ(box->geometry(), QRect(8, 200, 624, 305));
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(192, 255, 192));
    EXPECT_EQ(boxText(), QString::fromUtf8(kGreetingText.data(), kGreetingText.size()));
    const QStringList lines = boxText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], " • Click on a button to calculate the odds (probability) for that game.");
    EXPECT_EQ(lines[1], " • The calculations will be displayed in this text box.");
    EXPECT_EQ(lines[2], "");
    EXPECT_TRUE(lines[3].startsWith(" • ") && lines[3].endsWith(": "));
    EXPECT_TRUE(lines[4].startsWith("   https://"));
    // The greeting takes the report font that start-up prepared.
    const QFont font = fontAt(3);
    EXPECT_EQ(font.pointSizeF(), 10);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
}

TEST_F(WindowTest, ButtonsFollowTheDesignTable)
{
    int count = 0;
    for (const ButtonDesign& design : ButtonDesigns()) {
        QPushButton* button = window->button(QString::fromUtf8(design.name.data(), design.name.size()));
        ASSERT_NE(button, nullptr);
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_EQ(button->text().toStdString(), design.caption);
        EXPECT_EQ(button->toolTip().toStdString(), design.tooltip);
        EXPECT_EQ(button->geometry(),
                  QRect(ToPixels(design.left), ToPixels(design.top), 81, 20));
        EXPECT_EQ(button->palette().color(QPalette::Button), QColor(128, 255, 128));
        EXPECT_TRUE(button->font().bold());
        EXPECT_EQ(button->font().pointSizeF(), 9);
        ++count;
    }
    EXPECT_EQ(count, 15);
    // Spot checks against the design, so that the table itself is tested.
    EXPECT_EQ(window->button("Pick5")->text(), "Lotto Odds");
    EXPECT_EQ(window->button("PowerOdds")->text(), "Soccer 1X2");
    EXPECT_EQ(window->button("Save")->geometry(), QRect(496, 152, 81, 20));
    EXPECT_EQ(window->button("Font")->toolTip(),
              "Pick a font and its attributes for entire files, or text selections");
}

TEST_F(WindowTest, TabOrderSkipsTheLabel)
{
    const QStringList expected{"Pick3",  "RichTextBox1", "Pick4",     "Pick5",  "Pick6",
                               "EuroOdds", "Horses",     "Open",      "Roulette", "USBet",
                               "PowerOdds", "StdDev",    "Edit",      "Font",   "Print",
                               "Save"};
    QWidget* widget = window->button("Pick3");
    for (const QString& name : expected) {
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName(), name);
        widget = widget->nextInFocusChain();
        while (widget && widget->focusPolicy() == Qt::NoFocus) widget = widget->nextInFocusChain();
    }
}

TEST_F(WindowTest, StartUpMakesTheProgramFolderTheWorkingDirectory)
{
    EXPECT_EQ(std::filesystem::current_path(), folder.path());
}

struct FixedCase {
    const char* button;
    std::string (*report)();
};

class FixedReports : public WindowTest, public ::testing::WithParamInterface<FixedCase> {};

TEST_P(FixedReports, ShowInTheReportFontAndLeaveNoScratchFile)
{
    click(GetParam().button);
    EXPECT_EQ(boxText(), Lf(GetParam().report()));
    EXPECT_TRUE(boxText().endsWith("\n\n"));
    for (int position : {1, 20, static_cast<int>(boxText().size()) - 3}) {
        const QFont font = fontAt(position);
        EXPECT_EQ(font.pointSizeF(), 10);
        EXPECT_TRUE(font.bold());
        EXPECT_TRUE(QFontInfo(font).fixedPitch());
    }
    EXPECT_FALSE(folder.has("zavixs"));
    // A second click gives the same box.
    click(GetParam().button);
    EXPECT_EQ(boxText(), Lf(GetParam().report()));
}

INSTANTIATE_TEST_SUITE_P(Buttons, FixedReports,
                         ::testing::Values(FixedCase{"Pick3", Pick3Report},
                                           FixedCase{"Pick4", Pick4Report},
                                           FixedCase{"Roulette", RouletteReport}));

TEST_F(WindowTest, ReportShowsWhenZavixsIsAFolderOrALink)
{
    std::filesystem::create_directory(folder.path() / "zavixs");
    click("Pick3");
    EXPECT_EQ(boxText(), Lf(Pick3Report()));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "zavixs"));
    std::filesystem::remove(folder.path() / "zavixs");

    folder.write("other", "untouched");
    std::filesystem::create_symlink(folder.path() / "other", folder.path() / "zavixs");
    click("Roulette");
    EXPECT_EQ(boxText(), Lf(RouletteReport()));
    EXPECT_EQ(folder.read("other"), "untouched");
    EXPECT_FALSE(folder.has("zavixs"));
}

TEST_F(WindowTest, OutputBoxGrowsWithTheWindow)
{
    window->resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(window->outputBox()->width(), 624 + 900 - 642);
    EXPECT_EQ(window->outputBox()->height(), 305 + 700 - 516);
}

} // namespace
} // namespace fortelle
