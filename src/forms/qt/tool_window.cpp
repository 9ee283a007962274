#include "forms/qt/tool_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <atomic>

#include "forms/qt/chart_pane.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"

namespace fortelle {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// `text` with an Alt+letter of its own: its first letter not taken yet.
QString WithMnemonic(const QString& text, QString& taken)
{
    QString out = QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
    for (int i = 0; i < out.size(); ++i) {
        const QChar c = out[i].toLower();
        if (c < QLatin1Char('a') || c > QLatin1Char('z') || taken.contains(c)) continue;
        taken += c;
        return out.insert(i, QLatin1Char('&'));
    }
    return out;
}

// Problems in a red that reads on the window's own background, light or dark.
QColor ProblemColour(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128 ? QColor(255, 150, 140) : QColor(176, 0, 32);
}

QString Shape(const std::vector<forms::Field>& fields)
{
    QString shape;
    for (const forms::Field& f : fields) {
        shape += Q(f.key + "\x1f" + f.label + "\x1f" + f.unit) + QString::number(static_cast<int>(f.kind)) +
                 QString::number(f.lowest) + QLatin1Char('-') + QString::number(f.highest) + QLatin1Char('\x1e');
    }
    return shape;
}

QString Options(const forms::Field& f)
{
    QString text;
    for (const forms::Option& o : f.options) text += Q(o.value + "\x1f" + o.label + "\x1e");
    return text;
}

} // namespace

// One computation off the event thread: what it was given, how far it got,
// whether it was asked to stop, and what it answered.
struct ToolWindow::Run final : forms::Progress {
    forms::Values values;
    forms::Result result;
    std::atomic<bool> stopped{false};
    std::atomic<double> done{-1};
    bool cancelled() const override { return stopped; }
    void advance(double fraction) override { done = fraction; }
};

QString ToolWindow::NameFor(const std::string& id) { return QStringLiteral("tool-") + Q(id); }

ToolWindow::ToolWindow(std::shared_ptr<const forms::Tool> tool, FileSystem& files, Dialogs& dialogs,
                       std::function<void(const std::string&)> showInBox, QWidget* parent)
    : QDialog(parent), tool_(std::move(tool)), files_(files), dialogs_(dialogs), showInBox_(std::move(showInBox))
{
    const forms::ToolInfo info = tool_->info();
    setObjectName(NameFor(info.id));
    setWindowTitle(Q(info.title) + QStringLiteral(" \u2014 Fortelle"));
    setAccessibleName(Q(info.title));
    setAccessibleDescription(Q(info.summary));
    setModal(false);
    setSizeGripEnabled(true);
    memory_ = std::make_unique<forms::Memory>(files_);
    session_ = std::make_unique<forms::Session>(*tool_, *memory_);

    auto* layout = new QVBoxLayout(this);
    auto* summary = new QLabel(Q(info.summary) + QLatin1Char('.'), this);
    summary->setWordWrap(true);
    layout->addWidget(summary);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter, 1);
    auto* scroll = new QScrollArea(splitter);
    scroll->setObjectName(QStringLiteral("form"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    splitter->addWidget(scroll);

    auto* lower = new QWidget(splitter);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    formProblem_ = new QLabel(lower);
    formProblem_->setWordWrap(true);
    formProblem_->hide();
    lowerLayout->addWidget(formProblem_);

    auto* buttons = new QHBoxLayout;
    progress_ = new QProgressBar(lower);
    progress_->setAccessibleName(QStringLiteral("Progress"));
    progress_->setRange(0, 1000);
    progress_->hide();
    stop_ = new QPushButton(QStringLiteral("S&top"), lower);
    stop_->setAutoDefault(false);
    stop_->hide();
    calculate_ = new QPushButton(QStringLiteral("&Calculate"), lower);
    calculate_->setDefault(true);
    calculate_->setToolTip(QStringLiteral("Compute (Enter)"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), lower);
    cancel->setAutoDefault(false);
    cancel->setToolTip(QStringLiteral("Close this window (Escape); answers are remembered only by Calculate"));
    buttons->addWidget(progress_, 1);
    buttons->addWidget(stop_);
    buttons->addStretch();
    buttons->addWidget(calculate_);
    buttons->addWidget(cancel);
    lowerLayout->addLayout(buttons);

    verdict_ = new QLabel(QStringLiteral("Fill in the form and press Calculate."), lower);
    verdict_->setObjectName(QStringLiteral("verdict"));
    verdict_->setAccessibleName(QStringLiteral("Verdict"));
    verdict_->setWordWrap(true);
    verdict_->setTextFormat(Qt::PlainText);
    verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont big = verdict_->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.2);
    verdict_->setFont(big);
    lowerLayout->addWidget(verdict_);

    report_ = new QPlainTextEdit(lower);
    report_->setObjectName(QStringLiteral("report"));
    report_->setAccessibleName(QStringLiteral("Report"));
    report_->setReadOnly(true);
    report_->setTabChangesFocus(true);
    report_->setLineWrapMode(QPlainTextEdit::NoWrap);
    report_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Room for the reports' usual width and a good part of their length.
    const QFontMetrics metrics(report_->font());
    report_->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * 60, metrics.lineSpacing() * 6);
    const int reportWidth = metrics.horizontalAdvance(QLatin1Char('0')) * 96;
    tabs_ = new QTabWidget(lower);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->setDocumentMode(true);
    tabs_->setTabBarAutoHide(true);
    tabs_->addTab(report_, QStringLiteral("&Report"));
    lowerLayout->addWidget(tabs_, 1);

    auto* actions = new QHBoxLayout;
    showInBoxButton_ = new QPushButton(QStringLiteral("Show in the &box"), lower);
    showInBoxButton_->setToolTip(QStringLiteral("Put the report into the main window's box, to save or print it"));
    copy_ = new QPushButton(QStringLiteral("C&opy"), lower);
    copy_->setToolTip(QStringLiteral("Copy the verdict and the report"));
    for (QPushButton* b : {showInBoxButton_, copy_}) {
        b->setAutoDefault(false);
        b->setEnabled(false);
        actions->addWidget(b);
    }
    exports_ = new QHBoxLayout;
    actions->addLayout(exports_);
    actions->addStretch();
    lowerLayout->addLayout(actions);
    splitter->addWidget(lower);
    splitter->setStretchFactor(1, 1);

    connect(calculate_, &QPushButton::clicked, this, &ToolWindow::calculate);
    connect(cancel, &QPushButton::clicked, this, &ToolWindow::reject);
    connect(stop_, &QPushButton::clicked, this, &ToolWindow::stop);
    connect(showInBoxButton_, &QPushButton::clicked, this, [this] {
        if (showInBox_) showInBox_(result_.report);
    });
    connect(copy_, &QPushButton::clicked, this, [this] {
        QGuiApplication::clipboard()->setText(verdict_->text() + QStringLiteral("\n\n") + report_->toPlainText());
    });
    poll_ = new QTimer(this);
    poll_->setInterval(100);
    connect(poll_, &QTimer::timeout, this, [this] {
        // The bar shows once a computation has taken a moment; until the tool
        // says how far it is, it only says that it works.
        const double done = run_ ? run_->done.load() : -1;
        progress_->setRange(0, done < 0 ? 0 : 1000);
        if (done >= 0) progress_->setValue(static_cast<int>(done * 1000));
        progress_->show();
        stop_->show();
    });

    buildForm();
    // Room for the form, or for half a dozen fields when choices bring more.
    const int rowHeight = QLineEdit().sizeHint().height() + grid_->verticalSpacing() + 4;
    const int formHeight = std::min(std::max(form_->sizeHint().height() + 8, rowHeight * 6), rowHeight * 14);
    splitter->setSizes({formHeight, 420});
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1280, 900);
    resize(std::min(std::max(sizeHint().width(), reportWidth) + 40, screen.width() * 9 / 10),
           std::min(formHeight + 520, screen.height() * 9 / 10));
}

ToolWindow::~ToolWindow()
{
    if (worker_) {
        stop();
        worker_->wait();
        delete worker_;
        QApplication::restoreOverrideCursor();
    }
}

void ToolWindow::buildForm()
{
    const std::vector<forms::Field> fields = session_->fields();
    const QString shape = Shape(fields);
    if (form_ != nullptr && shape.toStdString() == shape_) {
        showValues();
        return;
    }
    // Another game may ask other things: the form is drawn anew, and the
    // field being typed in keeps the focus.
    std::string focusKey;
    int cursor = -1;
    for (const auto& [key, row] : rows_) {
        if (row.editor->isAncestorOf(focusWidget()) || row.editor == focusWidget()) {
            focusKey = key;
            if (auto* edit = qobject_cast<QLineEdit*>(row.editor)) cursor = edit->cursorPosition();
        }
    }
    shape_ = shape.toStdString();
    rows_.clear();
    // The old form goes once the event that changed it is done with its
    // widgets (a game chosen in its own picker).
    auto* scroll = findChild<QScrollArea*>(QStringLiteral("form"));
    if (QWidget* old = scroll->takeWidget()) old->deleteLater();
    form_ = new QWidget;
    grid_ = new QGridLayout(form_);
    scroll->setWidget(form_);
    grid_->setColumnStretch(1, 1);
    QString taken = QStringLiteral("ctbohr"); // Calculate, Stop, Show in the box, Copy, Chart, Report
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const forms::Field& f = fields[i];
        const int row = static_cast<int>(i) * 2;
        QWidget* editor = makeEditor(f);
        editor->setAccessibleName(Q(f.label) + (f.unit.empty() ? QString() : QStringLiteral(", ") + Q(f.unit)));
        if (auto* check = qobject_cast<QCheckBox*>(editor)) {
            check->setText(WithMnemonic(Q(f.label), taken));
        } else {
            auto* label = new QLabel(WithMnemonic(Q(f.label), taken) + QLatin1Char(':'), form_);
            label->setBuddy(editor);
            const bool tall = f.kind == forms::Kind::Lines || f.kind == forms::Kind::Picks;
            grid_->addWidget(label, row, 0, (tall ? Qt::AlignTop : Qt::AlignVCenter) | Qt::AlignLeft);
        }
        grid_->addWidget(editor, row, 1);
        if (!f.unit.empty()) grid_->addWidget(new QLabel(Q(f.unit), form_), row, 2);
        auto* problem = new QLabel(form_);
        problem->setWordWrap(true);
        problem->setTextFormat(Qt::PlainText);
        QPalette palette = problem->palette();
        palette.setColor(QPalette::WindowText, ProblemColour(palette));
        problem->setPalette(palette);
        problem->hide();
        grid_->addWidget(problem, row + 1, 1, 1, 2);
        rows_[f.key] = {editor, problem};
        if (previous) setTabOrder(previous, editor);
        previous = editor;
    }
    grid_->setRowStretch(static_cast<int>(fields.size()) * 2, 1);
    QPalette palette = formProblem_->palette();
    palette.setColor(QPalette::WindowText, ProblemColour(palette));
    formProblem_->setPalette(palette);
    if (previous) setTabOrder(previous, calculate_);
    showValues();
    if (const auto it = rows_.find(focusKey); it != rows_.end()) {
        it->second.editor->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(it->second.editor); edit && cursor >= 0) {
            edit->setCursorPosition(cursor);
        }
    }
}

QWidget* ToolWindow::makeEditor(const forms::Field& f)
{
    const std::string key = f.key;
    switch (f.kind) {
    case forms::Kind::Choice: {
        auto* box = new QComboBox(form_);
        connect(box, &QComboBox::currentIndexChanged, this, [this, box, key](int index) {
            if (index >= 0) edited(key, box->itemData(index).toString().toStdString());
        });
        return box;
    }
    case forms::Kind::Check: {
        auto* check = new QCheckBox(form_);
        connect(check, &QCheckBox::toggled, this, [this, key](bool on) { edited(key, on ? "1" : ""); });
        return check;
    }
    case forms::Kind::Lines: {
        auto* lines = new QPlainTextEdit(form_);
        lines->setTabChangesFocus(true);
        lines->setFixedHeight(lines->fontMetrics().lineSpacing() * 5 + 12);
        connect(lines, &QPlainTextEdit::textChanged, this,
                [this, lines, key] { edited(key, lines->toPlainText().toStdString()); });
        return lines;
    }
    case forms::Kind::Picks: {
        // A grid of toggles from the lowest number to the highest, ten a row.
        auto* picks = new QWidget(form_);
        auto* grid = new QGridLayout(picks);
        grid->setSpacing(2);
        grid->setContentsMargins(0, 0, 0, 0);
        for (int n = f.lowest; n <= f.highest; ++n) {
            auto* toggle = new QToolButton(picks);
            toggle->setText(QString::number(n));
            toggle->setCheckable(true);
            toggle->setAccessibleName(QStringLiteral("Number %1").arg(n));
            toggle->setMinimumWidth(toggle->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 10);
            grid->addWidget(toggle, (n - f.lowest) / 10, (n - f.lowest) % 10);
            connect(toggle, &QToolButton::toggled, this, [this, picks, key] {
                std::string chosen;
                for (auto* t : picks->findChildren<QToolButton*>()) {
                    if (t->isChecked()) chosen += (chosen.empty() ? "" : " ") + t->text().toStdString();
                }
                edited(key, chosen);
            });
        }
        return picks;
    }
    default: {
        auto* edit = new QLineEdit(form_);
        if (f.kind == forms::Kind::Count) edit->setInputMethodHints(Qt::ImhDigitsOnly);
        if (f.kind == forms::Kind::Decimal) edit->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
        connect(edit, &QLineEdit::textEdited, this,
                [this, key](const QString& text) { edited(key, text.toStdString()); });
        return edit;
    }
    }
}

void ToolWindow::edited(const std::string& key, const std::string& value)
{
    if (filling_) return;
    const auto& values = session_->values();
    if (const auto it = values.find(key); it != values.end() && it->second == value) return;
    session_->set(key, value);
    if (key == tool_->memoryField()) {
        // Another game: its own remembered answers, nothing typed yet.
        touched_.clear();
        tried_ = false;
    } else {
        touched_.insert(key);
    }
    buildForm();
}

void ToolWindow::choose(const std::string& key, const std::string& value)
{
    edited(key, value);
    touched_.erase(key);
    showProblems();
}

void ToolWindow::showValues()
{
    filling_ = true;
    const forms::Values& values = session_->values();
    for (const forms::Field& f : session_->fields()) {
        const auto row = rows_.find(f.key);
        if (row == rows_.end()) continue;
        const auto it = values.find(f.key);
        const QString value = Q(it == values.end() ? std::string() : it->second);
        QWidget* editor = row->second.editor;
        editor->setToolTip(Q(f.help));
        editor->setAccessibleDescription(Q(f.help));
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            // A game's tiers or spot counts may change what is offered.
            if (box->property("options").toString() != Options(f)) {
                box->clear();
                for (const forms::Option& o : f.options) box->addItem(Q(o.label), Q(o.value));
                box->setProperty("options", Options(f));
            }
            box->setCurrentIndex(box->findData(value));
        } else if (auto* check = qobject_cast<QCheckBox*>(editor)) {
            check->setChecked(value == QLatin1String("1"));
        } else if (auto* lines = qobject_cast<QPlainTextEdit*>(editor)) {
            if (lines->toPlainText() != value) lines->setPlainText(value);
        } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            // A typical value, not one filled in.
            edit->setPlaceholderText(f.placeholder.empty() ? QString() : QStringLiteral("e.g. ") + Q(f.placeholder));
            if (edit->text() != value) edit->setText(value);
        } else {
            const QStringList picked = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (auto* toggle : editor->findChildren<QToolButton*>())
                toggle->setChecked(picked.contains(toggle->text()));
        }
    }
    filling_ = false;
    showProblems();
}

void ToolWindow::showProblems()
{
    std::map<std::string, QString> byField;
    QString rest;
    for (const forms::Problem& p : session_->problems()) {
        QString& text = rows_.count(p.key) ? byField[p.key] : rest;
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + Q(p.message);
    }
    for (const auto& [key, row] : rows_) {
        const auto it = byField.find(key);
        const bool shown = it != byField.end() && (tried_ || touched_.count(key));
        row.problem->setText(shown ? it->second : QString());
        row.problem->setVisible(shown);
        // Read out with the field, for those who cannot see the red line.
        row.editor->setAccessibleDescription(shown ? it->second : row.editor->toolTip());
    }
    formProblem_->setText(rest);
    formProblem_->setVisible(tried_ && !rest.isEmpty());
}

void ToolWindow::calculate()
{
    if (busy()) return;
    tried_ = true;
    const std::vector<forms::Problem> problems = session_->problems();
    showProblems();
    if (!problems.empty()) {
        // No answer for these values: an earlier one would be taken for it.
        forms::Result refused;
        refused.problems = problems;
        showResult(refused);
        // To the first field to put right.
        for (const forms::Field& f : session_->fields()) {
            const bool wrong =
                std::any_of(problems.begin(), problems.end(), [&](const forms::Problem& p) { return p.key == f.key; });
            if (wrong && rows_.count(f.key)) {
                rows_[f.key].editor->setFocus();
                break;
            }
        }
        return;
    }
    run_ = std::make_shared<Run>();
    run_->values = session_->values();
    form_->setEnabled(false);
    calculate_->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    auto run = run_;
    auto tool = tool_;
    worker_ = QThread::create([run, tool] { run->result = tool->compute(run->values, *run); });
    connect(worker_, &QThread::finished, this, &ToolWindow::finished);
    QTimer::singleShot(300, poll_, [this] {
        if (busy()) poll_->start();
    });
    worker_->start();
}

void ToolWindow::stop()
{
    if (run_) run_->stopped = true;
}

void ToolWindow::finished()
{
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    const std::shared_ptr<Run> run = std::move(run_);
    QApplication::restoreOverrideCursor();
    poll_->stop();
    progress_->hide();
    stop_->hide();
    form_->setEnabled(true);
    calculate_->setEnabled(true);
    calculate_->setFocus();
    if (run->stopped) {
        verdict_->setText(QStringLiteral("Stopped: nothing was computed or remembered."));
        return;
    }
    session_->remember(run->values, run->result);
    showResult(run->result);
}

void ToolWindow::showResult(const forms::Result& result)
{
    result_ = result;
    showInBoxButton_->setEnabled(result.ok());
    copy_->setEnabled(result.ok());
    while (QLayoutItem* item = exports_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    // The charts of the last answer go with it; the tab chosen stays chosen
    // while the new answer has one.
    const int chosen = tabs_->currentIndex();
    while (tabs_->count() > 1) {
        QWidget* old = tabs_->widget(1);
        tabs_->removeTab(1);
        old->deleteLater();
    }
    if (!result.ok()) {
        QString text = QStringLiteral("Not calculated:");
        const bool marked = std::any_of(result.problems.begin(), result.problems.end(),
                                        [this](const forms::Problem& p) { return rows_.count(p.key) > 0; });
        if (marked) text += QStringLiteral(" put right what is marked in red.");
        for (const forms::Problem& p : result.problems) {
            if (!rows_.count(p.key)) text += QLatin1Char(' ') + Q(p.message);
        }
        verdict_->setText(text);
        report_->clear();
        return;
    }
    verdict_->setText(Q(result.verdict));
    report_->setPlainText(Q(result.report).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    for (std::size_t i = 0; i < result.charts.size(); ++i) {
        const QString name = result.charts.size() == 1 ? QStringLiteral("C&hart")
                                                       : QStringLiteral("Chart &%1").arg(static_cast<int>(i) + 1);
        tabs_->addTab(new ChartPane(result.charts[i], files_, dialogs_, tabs_), name);
    }
    tabs_->setCurrentIndex(chosen < tabs_->count() ? chosen : 0);
    for (std::size_t i = 0; i < result.exports.size(); ++i) {
        auto* save = new QPushButton(QStringLiteral("Save ") + Q(result.exports[i].label) + QStringLiteral("…"), this);
        save->setAutoDefault(false);
        connect(save, &QPushButton::clicked, this, [this, i] { saveExport(i); });
        exports_->addWidget(save);
    }
}

void ToolWindow::saveExport(std::size_t index)
{
    const forms::Export& e = result_.exports.at(index);
    const std::string ext = e.fileName.substr(e.fileName.rfind('.') + 1);
    std::string upper = ext;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string filter = upper + " files (*." + ext + ")|*." + ext + "|All files (*.*)|*.*";
    const auto path = dialogs_.saveFile({"Save " + e.label, filter, 0, e.fileName});
    if (!path) return;
    const SaveResult saved = files_.save(*path, e.bytes);
    if (!saved.saved) dialogs_.showError("Save", saved.reason);
}

void ToolWindow::reject()
{
    // Escape first stops a computation; then it closes the window, with
    // nothing written, and the window is gone: opened again, it starts from
    // what is remembered.
    if (busy()) {
        stop();
        return;
    }
    QDialog::reject();
    deleteLater();
}

void ToolWindow::closeEvent(QCloseEvent* event)
{
    if (worker_) {
        stop();
        worker_->wait();
        finished();
    }
    QDialog::closeEvent(event); // rejects
}

} // namespace fortelle
