#include "ReportWindow.h"

#include "HandlerGuard.h"
#include "TextTableModel.h"

#include "db/Error.h"
#include "ops/Prompter.h"
#include "ops/ReportCsv.h"
#include "ops/ReportXlsx.h"
#include "ops/RunLog.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace zym {

namespace {

// Widths that fit the usual codes; sizing to contents would read every row.
const QList<int> unitWidths{ 50, 120, 120, 150 };
const QList<int> totalWidths{ 150, 90, 90, 90 };
// A check's summary and findings, in the same two views.
const QList<int> summaryWidths{ 260, 70, 80 };
const QList<int> findingWidths{ 170, 115, 90, 40 };

void setWidths(QTableView *view, const QList<int> &widths)
{
    for (qsizetype i = 0; i < widths.size(); ++i)
        view->horizontalHeader()->resizeSection(int(i), widths.at(i));
}

QTableView *addView(const char *name, TextTableModel *model, const QList<int> &widths,
                    int rowHeight)
{
    auto *view = new QTableView;
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAlternatingRowColors(true);
    view->setWordWrap(false);
    // The units' own column counts the list's rows; a second count beside it would mislead.
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(rowHeight);
    view->horizontalHeader()->setStretchLastSection(true);
    setWidths(view, widths);
    return view;
}

QString suggestedName(const RunReport &report, const QString &extension)
{
    const QString stem = report.kind == RunReport::Kind::Preview ? QStringLiteral("onizleme")
            : report.kind == RunReport::Kind::Audit              ? QStringLiteral("denetim")
                                                                 : QStringLiteral("rapor");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder).filePath(
            stem + QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd-HHmm"))
            + extension);
}

// The heading's fields but the last, how the run ended, which has a line of its own.
QString headingText(const RunReport &report)
{
    QList<std::pair<QString, QString>> fields = report.headingFields();
    fields.removeLast();
    QStringList lines;
    for (const auto &[name, value] : fields)
        lines << name + QStringLiteral(": ") + value;
    return lines.join(u'\n');
}

QPushButton *addButton(QHBoxLayout *row, const char *name, const QString &text)
{
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    row->addWidget(button);
    return button;
}

} // namespace

ReportWindow::ReportWindow(Prompter &prompter, QWidget *owner)
    : QWidget(owner, Qt::Window),
      m_prompter(prompter),
      m_units(new TextTableModel(this)),
      m_totals(new TextTableModel(this))
{
    setObjectName(QStringLiteral("ReportWindow"));
    // A window takes no font from its owner by itself.
    setFont(owner->font());
    resize(900, 520);

    m_title = new QLabel;
    m_title->setObjectName(QStringLiteral("Title"));
    QFont heading = font();
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 2);
    m_title->setFont(heading);
    m_end = new QLabel;
    m_end->setObjectName(QStringLiteral("RunEnd"));
    // Room above the text for the dots of a capital Ö, which some fonts draw
    // above their ascent.
    for (QLabel *label : { m_title, m_end })
        label->setContentsMargins(0, 3, 0, 0);
    m_end->setWordWrap(true);
    m_heading = new QLabel;
    m_heading->setObjectName(QStringLiteral("Heading"));
    m_logFile = new QLabel;
    m_logFile->setObjectName(QStringLiteral("LogFile"));
    for (QLabel *label : { m_end, m_heading, m_logFile })
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const int rowHeight = fontMetrics().height() + 6;
    m_unitView = addView("Units", m_units, unitWidths, rowHeight);
    m_totalView = addView("Totals", m_totals, totalWidths, rowHeight);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(m_unitView);
    split->addWidget(m_totalView);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    auto *buttons = new QHBoxLayout;
    m_openFolder = addButton(buttons, "OpenFolder", QStringLiteral("Klasörü Aç"));
    buttons->addStretch();
    m_save = addButton(buttons, "Save", QStringLiteral("CSV Olarak Kaydet..."));
    m_saveXlsx = addButton(buttons, "SaveXlsx", QStringLiteral("Excel Olarak Kaydet..."));
    connect(m_openFolder, &QPushButton::clicked, this,
            [this] { runGuarded(m_prompter, [this] { openLogFolder(); }); });
    connect(m_save, &QPushButton::clicked, this,
            [this] { runGuarded(m_prompter, [this] { chooseFileAndSave(Format::Csv); }); });
    connect(m_saveXlsx, &QPushButton::clicked, this,
            [this] { runGuarded(m_prompter, [this] { chooseFileAndSave(Format::Xlsx); }); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_heading);
    layout->addWidget(m_end);
    layout->addWidget(m_logFile);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
}

void ReportWindow::setReport(const RunReport &report, const QString &logFile)
{
    m_report = report;
    setWindowTitle(report.title());
    m_title->setText(report.title());
    m_heading->setText(headingText(report));
    m_end->setText(QStringLiteral("Sonuç: ") + report.endText());
    // The folder is a button away ("Klasörü Aç"); the whole path is the tip.
    m_logFile->setText(logFile.isEmpty()
                               ? QString()
                               : QStringLiteral("Rapor dosyası: ") + QFileInfo(logFile).fileName());
    m_logFile->setToolTip(logFile);
    m_logFile->setVisible(!logFile.isEmpty());
    m_units->setTable(report.unitTable());
    m_totals->setTable(report.totalTable());
    setWidths(m_unitView, report.listing ? summaryWidths : unitWidths);
    setWidths(m_totalView, report.listing ? findingWidths : totalWidths);
    // A check's summary has a row a check: its pane is no taller than they
    // are, and the findings have the rest.
    const int summaryHeight = m_unitView->horizontalHeader()->sizeHint().height()
            + m_units->rowCount() * m_unitView->verticalHeader()->defaultSectionSize()
            + 2 * m_unitView->frameWidth();
    m_unitView->setMaximumHeight(report.listing ? summaryHeight : QWIDGETSIZE_MAX);
}

void ReportWindow::saveAs(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(reportCsv(m_report)) < 0 || !file.commit())
        throw Error(QStringLiteral("Rapor kaydedilemedi: %1: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
}

void ReportWindow::saveAsXlsx(const QString &path) const
{
    writeReportXlsx(m_report, path);
}

void ReportWindow::chooseFileAndSave(Format format)
{
    const bool csv = format == Format::Csv;
    const QString path = QFileDialog::getSaveFileName(
            this, QStringLiteral("Raporu Kaydet"),
            suggestedName(m_report, csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx")),
            csv ? QStringLiteral("CSV dosyası (*.csv)") : QStringLiteral("Excel dosyası (*.xlsx)"));
    if (path.isEmpty())
        return;
    if (csv)
        saveAs(path);
    else
        saveAsXlsx(path);
    m_prompter.notify(QStringLiteral("Rapor kaydedildi: %1").arg(QDir::toNativeSeparators(path)));
}

void ReportWindow::openLogFolder()
{
    const QString folder = RunLog::folder();
    QDir().mkpath(folder);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        throw Error(QStringLiteral("Klasör açılamadı: %1").arg(QDir::toNativeSeparators(folder)));
}

} // namespace zym
