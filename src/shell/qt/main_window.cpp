#include "shell/qt/main_window.h"

#include <QDir>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QStandardPaths>
#include <QTextEdit>

#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_output_box.h"
#include "platform/qt/qt_prompt.h"
#include "shell/startup.h"
#include "shell/texts.h"
#include "shell/window_layout.h"

namespace fortelle {
namespace {

QColor ToColour(Rgb c) { return {c.red, c.green, c.blue}; }

QRect ToPixels(const ControlGeometry& g)
{
    return {fortelle::ToPixels(g.left), fortelle::ToPixels(g.top), fortelle::ToPixels(g.width),
            fortelle::ToPixels(g.height)};
}

QString FromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
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
    for (QPointF c : {QPointF(0.32, 0.32), QPointF(0.68, 0.32), QPointF(0.5, 0.5),
                      QPointF(0.32, 0.68), QPointF(0.68, 0.68)}) {
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

MainWindow::MainWindow(const QString& programFolder, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmFortelle"));
    setWindowTitle(FromView(kProgramName));
    setWindowIcon(FortelleIcon());
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, ToColour(kWindowColour));
    setPalette(windowPalette);
    setAutoFillBackground(true);
    setFont(DesignFont(QStringLiteral("Times New Roman"), 12));
    resize(fortelle::ToPixels(kClientWidth), fortelle::ToPixels(kClientHeight));
    setMinimumSize(fortelle::ToPixels(kClientWidth), fortelle::ToPixels(kOutputBoxGeometry.top) + 80);

    label_ = new QLabel(this);
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

    box_ = new QTextEdit(this);
    box_->setObjectName(QStringLiteral("RichTextBox1"));
    box_->setGeometry(ToPixels(kOutputBoxGeometry));
    QPalette boxPalette = box_->palette();
    boxPalette.setColor(QPalette::Base, ToColour(kWindowColour));
    box_->setPalette(boxPalette);
    box_->setFont(DesignFont(QStringLiteral("Courier New"), 9.6, true));
    box_->setLineWrapMode(QTextEdit::NoWrap);
    box_->setCurrentFont(DesignFont(QStringLiteral("Courier New"), 10, true));
    box_->setPlainText(QStringLiteral(" "));

    boxAdapter_ = std::make_unique<QtOutputBox>(*box_);
    prompt_ = std::make_unique<QtPrompt>(this);
    dialogs_ = std::make_unique<QtDialogs>(this);
    platform_ = std::make_unique<Platform>(Platform{*boxAdapter_, *prompt_, files_, *dialogs_});

    const QFont buttonFont = DesignFont(QStringLiteral("Arial"), 9, true);
    for (const ButtonDesign& design : ButtonDesigns()) {
        auto* button = new QPushButton(FromView(design.caption), this);
        button->setObjectName(FromView(design.name));
        button->setToolTip(FromView(design.tooltip));
        button->setFont(buttonFont);
        button->setGeometry(fortelle::ToPixels(design.left), fortelle::ToPixels(design.top),
                            fortelle::ToPixels(kButtonWidth), fortelle::ToPixels(kButtonHeight));
        QPalette buttonPalette = button->palette();
        buttonPalette.setColor(QPalette::Button, ToColour(kButtonColour));
        button->setPalette(buttonPalette);
        button->setAutoDefault(false);
        if (design.onClick != nullptr) {
            const Handler handler = design.onClick;
            connect(button, &QPushButton::clicked, this, [this, handler] { handler(*platform_); });
        }
    }

    // Keyboard shortcuts for the text tools.
    for (const auto& [keys, name] : {std::pair{QKeySequence::Open, "Open"},
                                     std::pair{QKeySequence::Save, "Save"},
                                     std::pair{QKeySequence::Print, "Print"}}) {
        QPushButton* target = button(QString::fromLatin1(name));
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, target, &QPushButton::click);
    }

    // Tab order over the controls that take focus; the label is passed over.
    QWidget* previous = nullptr;
    for (std::string_view name : TabOrder()) {
        auto* widget = findChild<QWidget*>(FromView(name));
        if (widget == nullptr || widget->focusPolicy() == Qt::NoFocus) continue;
        if (previous != nullptr) setTabOrder(previous, widget);
        previous = widget;
    }

    const FileHome home = RunStartup(*this, files_, *boxAdapter_,
                                     QDir::toNativeSeparators(programFolder).toStdString(),
                                     PerUserFolder);
    // The file dialogs start in the program's folder only when the user put
    // the program in a folder of its own; the hidden per-user folder is no
    // place to look for one's own files.
    dialogs_->setStartFolder(home == FileHome::ProgramFolder ? programFolder : DocumentsFolder());
}

MainWindow::~MainWindow() = default;

QPushButton* MainWindow::button(const QString& name) const
{
    return findChild<QPushButton*>(name);
}

void MainWindow::setText(std::string_view text)
{
    // Carriage returns break the banner's lines.
    label_->setText(FromView(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    // Right-click on the window (the box has its own menu) offers About.
    QMenu menu(this);
    menu.addAction(QStringLiteral("About Fortelle"), this, [this] {
        QMessageBox::about(this, QStringLiteral("About Fortelle"), FromView(AboutText()));
    });
    menu.exec(event->globalPos());
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    // The output box keeps its designed margins and grows with the window.
    const QRect designed = ToPixels(kOutputBoxGeometry);
    const int rightMargin = fortelle::ToPixels(kClientWidth) - (designed.x() + designed.width());
    const int bottomMargin =
        fortelle::ToPixels(kClientHeight) - (designed.y() + designed.height());
    box_->setGeometry(designed.left(), designed.top(),
                      std::max(80, event->size().width() - designed.left() - rightMargin),
                      std::max(40, event->size().height() - designed.top() - bottomMargin));
    QWidget::resizeEvent(event);
}

} // namespace fortelle
