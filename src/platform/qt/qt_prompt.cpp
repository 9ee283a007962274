#include "platform/qt/qt_prompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/qt/qt_cursor.h"

namespace fortelle {
namespace {

QString FromUtf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

std::optional<std::string> QtPrompt::ask(std::string_view title, std::string_view message, std::string_view defaultText)
{
    QDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("prompt"));
    dialog.setWindowTitle(FromUtf8(title));

    auto* label = new QLabel(FromUtf8(message), &dialog);
    label->setObjectName(QStringLiteral("message"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setMinimumWidth(360);
    auto* field = new QLineEdit(FromUtf8(defaultText), &dialog);
    field->setObjectName(QStringLiteral("answer"));
    field->selectAll();
    // Assistive technology reads the field by its question.
    label->setBuddy(field);
    field->setAccessibleName(FromUtf8(message).simplified());
    field->setAccessibleDescription(FromUtf8(title));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(field);
    layout->addWidget(buttons);
    field->setFocus();

    if (onShow) onShow(dialog);
    const CursorWhile waiting(Qt::ArrowCursor);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return field->text().toStdString();
}

} // namespace fortelle
