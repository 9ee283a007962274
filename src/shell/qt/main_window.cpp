#include "shell/qt/main_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/buttons.h"
#include "app/tools.h"
#include "forms/qt/tool_window.h"
#include "platform/qt/qt_cursor.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_output_box.h"
#include "platform/qt/qt_prompt.h"
#include "shell/pipeline.h"
#include "shell/startup.h"
#include "shell/texts.h"

namespace fortelle {
namespace {

QColor ToColour(Rgb c) { return {c.red, c.green, c.blue}; }

QRect ToPixels(const ControlGeometry& g)
{
    return {fortelle::ToPixels(g.left), fortelle::ToPixels(g.top), fortelle::ToPixels(g.width),
            fortelle::ToPixels(g.height)};
}

QString FromView(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The per-user settings: ~/.config/fortelle/fortelle.conf on Linux.
std::unique_ptr<QSettings> UserSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("fortelle"),
                                       QStringLiteral("fortelle"));
}

// A folder in which the program may keep its parameter files when its own
// folder is read-only.
std::string PerUserFolder()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (path.isEmpty() || !QDir().mkpath(path)) return {};
    return QDir::toNativeSeparators(path).toStdString();
}

} // namespace

QImage DrawIcon(int size)
{
    // A white die showing five on a green field, in the window's colours.
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // Crisp edges at the small sizes keep the picture to a handful of colours.
    painter.setRenderHint(QPainter::Antialiasing, size > 32);
    const qreal s = size;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 128, 0));
    painter.drawRoundedRect(QRectF(0, 0, s, s), s / 6, s / 6);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(0, 0, 64), s / 16));
    painter.drawRoundedRect(QRectF(s * 0.15, s * 0.15, s * 0.7, s * 0.7), s / 10, s / 10);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 64));
    const qreal r = s * 0.07;
    for (QPointF c :
         {QPointF(0.32, 0.32), QPointF(0.68, 0.32), QPointF(0.5, 0.5), QPointF(0.32, 0.68), QPointF(0.68, 0.68)}) {
        painter.drawEllipse(QPointF(c.x() * s, c.y() * s), r, r);
    }
    return image;
}

QIcon FortelleIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(QPixmap::fromImage(DrawIcon(size)));
    return icon;
}

MainWindow::MainWindow(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), programFolder_(programFolder)
{
    setObjectName(QStringLiteral("frmFortelle"));
    setWindowTitle(FromView(kProgramName));
    setWindowIcon(FortelleIcon());
    setAccessibleName(FromView(kProgramName));
    setAccessibleDescription(FromView(kDescription));

    // The designed client area. The program fixes its light-green faces, so
    // it fixes the text on them too: dark text whatever the desktop's
    // colour scheme, so that a dark theme does not put white on pale green.
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    QPalette windowPalette = client_->palette();
    windowPalette.setColor(QPalette::Window, ToColour(kWindowColour));
    windowPalette.setColor(QPalette::WindowText, Qt::black);
    client_->setPalette(windowPalette);
    client_->setAutoFillBackground(true);
    client_->setFont(DesignFont(QStringLiteral("Times New Roman"), 12));
    client_->installEventFilter(this);
    setCentralWidget(client_);

    label_ = new QLabel(client_);
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setGeometry(ToPixels(kBannerGeometry));
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setTextFormat(Qt::PlainText);
    QPalette labelPalette = label_->palette();
    labelPalette.setColor(QPalette::WindowText, ToColour(kBannerTextColour));
    labelPalette.setColor(QPalette::Window, ToColour(kWindowColour));
    label_->setPalette(labelPalette);
    label_->setAutoFillBackground(true);
    label_->setFocusPolicy(Qt::NoFocus);
    label_->setAccessibleName(QStringLiteral("Banner"));

    box_ = new QPlainTextEdit(client_);
    box_->setObjectName(QStringLiteral("RichTextBox1"));
    box_->setGeometry(ToPixels(kOutputBoxGeometry));
    QPalette boxPalette = box_->palette();
    boxPalette.setColor(QPalette::Base, ToColour(kWindowColour));
    boxPalette.setColor(QPalette::Text, Qt::black);
    box_->setPalette(boxPalette);
    box_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab moves on along the tab order, as from every other control.
    box_->setTabChangesFocus(true);
    box_->setAccessibleName(QStringLiteral("Report"));
    box_->setAccessibleDescription(QStringLiteral("The calculators' reports, and text files opened for editing"));
    // The box shows each text in the report font, which becomes the box's
    // own font; its first content, a blank, in bold Courier New 10, which
    // start-up then replaces.
    boxAdapter_ = std::make_unique<QtOutputBox>(*box_, DesignFont(QStringLiteral("Courier New"), 10, true));
    boxAdapter_->setText(" ");

    prompt_ = std::make_unique<QtPrompt>(this);
    dialogs_ = std::make_unique<QtDialogs>(this);
    platform_ = std::make_unique<Platform>(Platform{*boxAdapter_, *prompt_, files_, *dialogs_});

    const QFont buttonFont = DesignFont(QStringLiteral("Arial"), 9, true);
    for (const ButtonDesign& design : ButtonDesigns()) {
        auto* button = new QPushButton(FromView(design.caption), client_);
        button->setObjectName(FromView(design.name));
        button->setToolTip(FromView(design.tooltip));
        button->setAccessibleDescription(FromView(design.tooltip));
        button->setFont(buttonFont);
        button->setGeometry(fortelle::ToPixels(design.left), fortelle::ToPixels(design.top),
                            fortelle::ToPixels(kButtonWidth), fortelle::ToPixels(kButtonHeight));
        QPalette buttonPalette = button->palette();
        buttonPalette.setColor(QPalette::Button, ToColour(kButtonColour));
        buttonPalette.setColor(QPalette::ButtonText, Qt::black);
        button->setPalette(buttonPalette);
        button->setAutoDefault(false);
        button->installEventFilter(this); // Enter clicks it, as Space does
        if (design.onClick != nullptr) {
            connect(button, &QPushButton::clicked, this, [this, handler = design.onClick] { run(handler); });
        }
    }

    // Tab order over the controls that take focus; the label is passed over.
    QWidget* previous = nullptr;
    for (std::string_view name : TabOrder()) {
        auto* widget = client_->findChild<QWidget*>(FromView(name));
        if (widget == nullptr || widget->focusPolicy() == Qt::NoFocus) continue;
        if (previous != nullptr) setTabOrder(previous, widget);
        previous = widget;
    }

    buildMenus();
    // The client area at its designed size; the window grows by the menu bar.
    client_->resize(fortelle::ToPixels(kClientWidth), fortelle::ToPixels(kClientHeight));
    client_->setMinimumSize(fortelle::ToPixels(kClientWidth), fortelle::ToPixels(kOutputBoxGeometry.top) + 80);
    resize(fortelle::ToPixels(kClientWidth), fortelle::ToPixels(kClientHeight) + menuBar()->sizeHint().height());
    // Where the window was last time, kept within the screen.
    restoreGeometry(UserSettings()->value(QStringLiteral("window/geometry")).toByteArray());

    const FileHome home =
        RunStartup(*this, files_, *boxAdapter_, QDir::toNativeSeparators(programFolder).toStdString(), PerUserFolder);
    // The file dialogs start in the program's folder only when the user put
    // the program in a folder of its own; the hidden per-user folder is no
    // place to look for one's own files.
    dialogs_->setStartFolder(home == FileHome::ProgramFolder ? programFolder : DocumentsFolder());
}

MainWindow::~MainWindow()
{
    // The tool windows use the files and dialogs of this window: they go
    // first, stopping what they compute.
    qDeleteAll(findChildren<ToolWindow*>());
}

QPushButton* MainWindow::button(const QString& name) const { return client_->findChild<QPushButton*>(name); }

QAction* MainWindow::addHandler(QMenu* menu, const QString& text, std::function<void(Platform&)> handler)
{
    return menu->addAction(text, this, [this, handler = std::move(handler)] { run(handler); });
}

void MainWindow::run(const std::function<void(Platform&)>& handler)
{
    const CursorWhile busy(Qt::WaitCursor);
    handler(*platform_);
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    // The same handlers as the buttons, by clicking them.
    for (const auto& [text, name, keys] : {std::tuple{"&Open…", "Open", QKeySequence(Qt::CTRL | Qt::Key_O)},
                                           std::tuple{"&Save…", "Save", QKeySequence(Qt::CTRL | Qt::Key_S)},
                                           std::tuple{"&Print…", "Print", QKeySequence(Qt::CTRL | Qt::Key_P)}}) {
        QPushButton* target = button(QString::fromLatin1(name));
        QAction* action = file->addAction(QString::fromUtf8(text), target, &QPushButton::click);
        action->setShortcut(keys);
    }
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &QWidget::close);

    // The tool windows' menus, in the order the tools list them: Games (one
    // entry per game), Value, and whatever is added beside them.
    loadTools();
    for (const auto& tool : tools_) {
        const std::string menu = tool->info().menu;
        const auto has = [&](const auto& entry) { return entry.first == menu; };
        if (std::any_of(toolMenus_.begin(), toolMenus_.end(), has)) continue;
        QMenu* entries = menuBar()->addMenu(QLatin1Char('&') + QString::fromStdString(menu));
        entries->setObjectName(QString::fromStdString(menu).toLower() + QStringLiteral("Menu"));
        toolMenus_.emplace_back(menu, entries);
        connect(entries, &QMenu::aboutToShow, this, &MainWindow::refreshTools);
    }
    fillToolMenus();

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(QStringLiteral("Fortelle &Help"), QKeySequence(Qt::Key_F1), this, &MainWindow::showHelp);
    help->addAction(QStringLiteral("&About Fortelle"), this, &MainWindow::showAbout);
}

bool MainWindow::loadTools()
{
    // Read at start, and again only when a game file in the folders has
    // changed since: opening a menu then costs a look at the folders.
    const std::vector<std::string> folders =
        GameFolders(QDir::toNativeSeparators(programFolder_).toStdString(), ProcessEnvironment);
    std::string stamp = GameFoldersStamp(folders);
    if (catalog_ && stamp == catalogStamp_) return false;
    {
        const CursorWhile busy(Qt::WaitCursor);
        catalog_ = std::make_shared<const GameCatalog>(LoadGameCatalog(folders));
    }
    catalogStamp_ = std::move(stamp);
    tools_.clear();
    for (auto& tool : MakeTools({catalog_})) tools_.emplace_back(std::move(tool));
    return true;
}

void MainWindow::refreshTools()
{
    if (loadTools()) fillToolMenus();
}

void MainWindow::fillToolMenus()
{
    for (const auto& [menu, entries] : toolMenus_) {
        entries->clear();
        QString taken;
        bool plain = false; // an entry of a tool of its own is in the menu
        for (const auto& tool : tools_) {
            const forms::ToolInfo info = tool->info();
            if (info.menu != menu) continue;
            const std::string id = info.id;
            if (!info.entryPerOption) {
                // A tool of its own after the list of games stands apart from it.
                if (!entries->actions().isEmpty() && !plain) entries->addSeparator();
                plain = true;
                // "&Ticket value…": the first letter no other entry has taken.
                QString text = QString::fromStdString(info.title).replace(QLatin1Char('&'), QStringLiteral("&&"));
                for (int i = 0; i < text.size(); ++i) {
                    if (!text[i].isLetter() || taken.contains(text[i].toLower())) continue;
                    taken += text[i].toLower();
                    text.insert(i, QLatin1Char('&'));
                    break;
                }
                QAction* action = entries->addAction(text + QStringLiteral("…"), this, [this, id] { openTool(id); });
                action->setToolTip(QString::fromStdString(info.summary));
                continue;
            }
            // One entry per option of the memory field: each game.
            const std::string key = tool->memoryField();
            for (const forms::Field& field : tool->fields({})) {
                if (field.key != key) continue;
                for (const forms::Option& option : field.options) {
                    const std::string value = option.value;
                    entries->addAction(
                        QString::fromStdString(option.label).replace(QLatin1Char('&'), QStringLiteral("&&")), this,
                        [this, id, key, value] { openTool(id, key, value); });
                }
            }
        }
        entries->setToolTipsVisible(true);
        if (menu != "Games") continue;
        if (catalog_->games.empty()) entries->addAction(QStringLiteral("(no game files found)"))->setEnabled(false);
        if (!catalog_->warnings.empty()) {
            // A game file that cannot be read is passed over; say which and why.
            entries->addSeparator();
            QString reasons;
            for (const std::string& warning : catalog_->warnings) reasons += QString::fromStdString(warning) + u'\n';
            entries->addAction(QStringLiteral("Game files passed over…"), this, [this, reasons] {
                QMessageBox::warning(this, QStringLiteral("Game files passed over"), reasons);
            });
        }
    }
}

ToolWindow* MainWindow::openTool(const std::string& id, const std::string& key, const std::string& value)
{
    auto* window = findChild<ToolWindow*>(ToolWindow::NameFor(id));
    if (window == nullptr) {
        const auto tool = std::find_if(tools_.begin(), tools_.end(), [&](const auto& t) { return t->info().id == id; });
        if (tool == tools_.end()) return nullptr;
        // A report shown in the box takes the calculators' road, so that
        // Save and Print work on it.
        window = new ToolWindow(
            *tool, files_, *dialogs_,
            [this](const std::string& report) {
                run([&report](Platform& p) {
                    PrepareOutputBox(p.box);
                    ShowReport(p.files, p.box, report);
                });
            },
            this);
    }
    if (!key.empty()) window->choose(key, value);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void MainWindow::showHelp()
{
    // One help window, raised again on the next F1.
    auto* help = findChild<QDialog*>(QStringLiteral("help"));
    if (help == nullptr) {
        help = new QDialog(this);
        help->setObjectName(QStringLiteral("help"));
        help->setWindowTitle(QStringLiteral("Fortelle Help"));
        help->resize(640, 560);
        auto* browser = new QTextBrowser(help);
        browser->setObjectName(QStringLiteral("manual"));
        browser->setOpenExternalLinks(true);
        QFile manual(QStringLiteral(":/manual.md"));
        manual.open(QIODevice::ReadOnly);
        browser->setMarkdown(QString::fromUtf8(manual.readAll()));
        (new QVBoxLayout(help))->addWidget(browser);
    }
    help->show();
    help->raise();
    help->activateWindow();
}

void MainWindow::showAbout() { QMessageBox::about(this, QStringLiteral("About Fortelle"), FromView(AboutText())); }

void MainWindow::setText(std::string_view text)
{
    // Carriage returns break the banner's lines.
    label_->setText(FromView(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize) {
        // The output box keeps its designed margins and grows with the window.
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        const QRect designed = ToPixels(kOutputBoxGeometry);
        const int rightMargin = fortelle::ToPixels(kClientWidth) - (designed.x() + designed.width());
        const int bottomMargin = fortelle::ToPixels(kClientHeight) - (designed.y() + designed.height());
        box_->setGeometry(designed.left(), designed.top(), std::max(80, size.width() - designed.left() - rightMargin),
                          std::max(40, size.height() - designed.top() - bottomMargin));
        // The banner and the buttons keep their designed places relative to
        // one another, centred over the box as the window widens.
        const int shift = std::max(0, (size.width() - fortelle::ToPixels(kClientWidth)) / 2);
        label_->move(ToPixels(kBannerGeometry).topLeft() + QPoint(shift, 0));
        for (const ButtonDesign& design : ButtonDesigns()) {
            if (QPushButton* b = button(FromView(design.name))) {
                b->move(fortelle::ToPixels(design.left) + shift, fortelle::ToPixels(design.top));
            }
        }
    } else if (watched == client_ && event->type() == QEvent::ContextMenu) {
        // Right-click on the window (the box has its own menu) offers About.
        QMenu menu(this);
        menu.addAction(QStringLiteral("About Fortelle"), this, &MainWindow::showAbout);
        menu.exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* pushButton = qobject_cast<QPushButton*>(watched);
        if (pushButton != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            pushButton->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    UserSettings()->setValue(QStringLiteral("window/geometry"), saveGeometry());
    QMainWindow::closeEvent(event);
}

} // namespace fortelle
