// The window as designed: geometry, colours, fonts, texts, tab order, and
// the fixed reports in the report font.
#include <QLabel>
#include <QPalette>

#include "app/buttons.h"
#include "lottery/digit_games.h"
#include "shell/texts.h"
#include "wagers/roulette.h"
#include "window_fixture.h"

namespace fortelle {
namespace {

using testing::WindowTest;

TEST_F(WindowTest, WindowBannerAndBoxAsDesigned)
{
    EXPECT_EQ(window->windowTitle(), "Fortelle");
    EXPECT_EQ(window->objectName(), "frmFortelle");
    EXPECT_EQ(window->client()->size(), QSize(642, 516));
    EXPECT_EQ(window->client()->palette().color(QPalette::Window), QColor(192, 255, 192));
    EXPECT_FALSE(window->windowIcon().pixmap(16, 16).isNull());
    EXPECT_EQ(std::filesystem::current_path(), folder.path()); // start-up's working folder

    QLabel* label = window->banner();
    EXPECT_EQ(label->geometry(), QRect(8, 8, 561, 57));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 64));
    EXPECT_EQ(QFontInfo(label->font()).pointSizeF(), 12);
    EXPECT_EQ(label->font().styleHint(), QFont::Serif);
    EXPECT_EQ(label->text(), QString::fromUtf8(kBannerText.data(), kBannerText.size()).replace('\r', '\n'));

    QPlainTextEdit* box = window->outputBox();
    EXPECT_EQ(box->geometry(), QRect(8, 200, 624, 305));
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(192, 255, 192));
    EXPECT_TRUE(box->font().bold()); // the box's own font, under the reports' character formats
    EXPECT_EQ(boxText(), QString::fromUtf8(kGreetingText.data(), kGreetingText.size()));
    expectReportFont(3);

    window->resize(window->width() + 258, window->height() + 184); // the box grows with it
    QApplication::processEvents();
    EXPECT_EQ(box->size(), QSize(624 + 258, 305 + 184));
    EXPECT_EQ(window->button("Save")->pos(), QPoint(496 + 129, 152)); // the buttons stay centred
    EXPECT_EQ(label->pos(), QPoint(8 + 129, 8));
}

TEST_F(WindowTest, ButtonsFollowTheDesignTableAndTabOrder)
{
    for (const ButtonDesign& design : ButtonDesigns()) {
        QPushButton* button = window->button(QString::fromUtf8(design.name.data(), design.name.size()));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text().toStdString(), design.caption);
        EXPECT_EQ(button->toolTip().toStdString(), design.tooltip);
        EXPECT_EQ(button->geometry(), QRect(ToPixels(design.left), ToPixels(design.top), 81, 20));
        EXPECT_EQ(button->palette().color(QPalette::Button), QColor(128, 255, 128));
        EXPECT_TRUE(button->font().bold());
        EXPECT_EQ(button->font().pointSizeF(), 9);
    }
    EXPECT_EQ(ButtonDesigns().size(), 15u);
    // Spot checks against the design, so that the table itself is tested.
    EXPECT_EQ(window->button("PowerOdds")->text(), "Soccer 1X2");
    EXPECT_EQ(window->button("Save")->geometry(), QRect(496, 152, 81, 20));

    QStringList order;
    QWidget* widget = window->button("Pick3");
    for (int i = 0; i < 16; ++i, widget = widget->nextInFocusChain()) {
        while (widget->focusPolicy() == Qt::NoFocus) widget = widget->nextInFocusChain();
        order << widget->objectName();
    }
    EXPECT_EQ(order.join(' '), "Pick3 RichTextBox1 Pick4 Pick5 Pick6 EuroOdds Horses Open Roulette "
                               "USBet PowerOdds StdDev Edit Font Print Save");
}

TEST_F(WindowTest, FixedReportsShowInTheReportFont)
{
    for (const auto& [button, report] : {std::pair{"Pick3", Pick3Report()}, std::pair{"Pick4", Pick4Report()},
                                         std::pair{"Roulette", RouletteReport()}}) {
        click(button);
        EXPECT_EQ(boxText(), Lf(report));
        expectReportFont(static_cast<int>(boxText().size()) - 3);
        EXPECT_FALSE(folder.has("zavixs"));
    }
}

} // namespace
} // namespace fortelle
