#include "platform/qt/qt_dialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <array>

#include "platform/qt/qt_cursor.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_printer.h"

namespace fortelle {
namespace {

QString FromStd(const std::string& s) { return QString::fromStdString(s); }

// The sixteen basic colours, black first.
struct NamedColour {
    const char* name;
    std::uint32_t rgb;
};
constexpr std::array<NamedColour, 16> kColours{{
    {"Black", 0x000000},
    {"Maroon", 0x800000},
    {"Green", 0x008000},
    {"Olive", 0x808000},
    {"Navy", 0x000080},
    {"Purple", 0x800080},
    {"Teal", 0x008080},
    {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},
    {"Red", 0xFF0000},
    {"Lime", 0x00FF00},
    {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},
    {"Fuchsia", 0xFF00FF},
    {"Aqua", 0x00FFFF},
    {"White", 0xFFFFFF},
}};

// "description|pattern|description|pattern" as Qt name filters. A pattern of
// "*.*" means every file, also those without a dot in their names.
QStringList NameFilters(const std::string& filter, bool& everyFile)
{
    const QStringList parts = FromStd(filter).split(QLatin1Char('|'));
    QStringList filters;
    everyFile = false;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts[i];
        everyFile = everyFile || parts[i + 1] == QLatin1String("*.*");
    }
    return filters;
}

// `folder` is where the dialog starts (Qt's choice when it is no folder);
// it becomes the folder of the file chosen.
std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogSetup& setup, bool save,
                                         const std::function<void(QDialog&)>& onShow, QString& folder)
{
    QFileDialog dialog(parent, FromStd(setup.title));
    dialog.setObjectName(save ? QStringLiteral("saveDialog") : QStringLiteral("openDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The save dialog takes new names and replaces a file without asking.
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    bool everyFile = false;
    dialog.setNameFilters(NameFilters(setup.filter, everyFile));
    if (everyFile) {
        if (auto* model = dialog.findChild<QFileSystemModel*>()) {
            model->setNameFilters({QStringLiteral("*")});
        }
    }
    if (QFileInfo(folder).isDir()) dialog.setDirectory(folder);
    dialog.selectFile(FromStd(setup.fileName));
    if (onShow) onShow(dialog);
    const CursorWhile waiting(Qt::ArrowCursor);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    folder = QFileInfo(chosen).absolutePath();
    return chosen.toStdString();
}

QIcon Swatch(std::uint32_t rgb)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    QPainter(&pixmap).drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

} // namespace

QString DocumentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

std::optional<std::string> QtDialogs::openFile(const FileDialogSetup& setup)
{
    return RunFileDialog(parent_, setup, false, onShow, startFolder_);
}

std::optional<std::string> QtDialogs::saveFile(const FileDialogSetup& setup)
{
    return RunFileDialog(parent_, setup, true, onShow, startFolder_);
}

std::optional<FontChoice> QtDialogs::chooseFont(const FontDialogSetup& setup)
{
    QDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("fontDialog"));
    dialog.setWindowTitle(QStringLiteral("Font"));

    // Qt's own font dialog, embedded, gives name, size, styles and effects;
    // the colour choice comes beside it.
    auto* fonts = new QFontDialog(&dialog);
    fonts->setObjectName(QStringLiteral("fonts"));
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    // The embedded chooser is a dialog of its own: Escape there would close
    // only it and leave an empty frame. Its answer is the whole dialog's.
    QObject::connect(fonts, &QDialog::rejected, &dialog, &QDialog::reject);
    QObject::connect(fonts, &QDialog::accepted, &dialog, &QDialog::accept);
    QFont initial = DesignFont(FromStd(setup.preset.name), setup.preset.size);
    // The dialog lists installed families only: offer the one that stands in
    // for the preset name on this machine, with its styles.
    initial.setFamily(QFontInfo(initial).family());
    initial.setBold(lastFont_.bold);
    initial.setItalic(lastFont_.italic);
    initial.setStrikeOut(lastFont_.strikethrough);
    initial.setUnderline(lastFont_.underline);
    fonts->setCurrentFont(initial);

    auto* colours = new QComboBox(&dialog);
    colours->setObjectName(QStringLiteral("colour"));
    for (const NamedColour& c : kColours) {
        colours->addItem(Swatch(c.rgb), QString::fromLatin1(c.name), QVariant::fromValue(c.rgb));
    }
    colours->setCurrentIndex(std::max(0, colours->findData(QVariant::fromValue(lastFont_.colour))));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* colourRow = new QFormLayout;
    colourRow->addRow(QStringLiteral("&Colour:"), colours);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);

    if (onShow) onShow(dialog);
    const CursorWhile waiting(Qt::ArrowCursor);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;

    const QFont chosen = fonts->currentFont();
    FontChoice choice;
    choice.name = chosen.family().toStdString();
    choice.size = chosen.pointSizeF() > 0 ? chosen.pointSizeF() : setup.preset.size;
    choice.bold = chosen.bold();
    choice.italic = chosen.italic();
    choice.strikethrough = chosen.strikeOut();
    choice.underline = chosen.underline();
    choice.colour = colours->currentData().value<std::uint32_t>();
    lastFont_ = choice; // the dialog opens with these styles next time
    return choice;
}

std::unique_ptr<Printer> QtDialogs::choosePrinter(unsigned flags)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (preparePrinter) preparePrinter(*printer);
    QPrintDialog dialog(printer.get(), parent_);
    dialog.setObjectName(QStringLiteral("printDialog"));
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
    // Flag 8: no page range; flag 1: open on the selection.
    options.setFlag(QAbstractPrintDialog::PrintPageRange, (flags & 8) == 0);
    options.setFlag(QAbstractPrintDialog::PrintSelection, (flags & 1) != 0);
    dialog.setOptions(options);
    if ((flags & 1) != 0) dialog.setPrintRange(QAbstractPrintDialog::Selection);
    // Print to file offers its file in the folder the file dialogs start in,
    // unless the printer names a file already.
    auto* fileName = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    if (fileName && printer->outputFileName().isEmpty() && QFileInfo(startFolder_).isDir()) {
        const QString name = QFileInfo(fileName->text()).fileName();
        fileName->setText(QDir(startFolder_).filePath(name.isEmpty() ? QStringLiteral("print.pdf") : name));
    }
    if (onShow) onShow(dialog);
    const CursorWhile waiting(Qt::ArrowCursor);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
        startFolder_ = QFileInfo(printer->outputFileName()).absolutePath();
    }
    return std::make_unique<QtPrinter>(std::move(printer));
}

void QtDialogs::showError(std::string_view title, std::string_view text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok, parent_);
    box.setObjectName(QStringLiteral("errorMessage"));
    if (onShow) onShow(box);
    const CursorWhile waiting(Qt::ArrowCursor);
    box.exec();
}

} // namespace fortelle
