#include "ReportWindow.h"

#include "HandlerGuard.h"
#include "TextTableModel.h"

#include "db/Error.h"
#include "ops/ReportCsv.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
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
const QList<int> unitWidths{50, 120, 120, 150};
const QList<int> totalWidths{150, 90, 90, 90};
// A check's summary and findings, in the same two views.
const QList<int> summaryWidths{260, 70, 80};
const QList<int> findingWidths{170, 115, 90, 40};

void setWidths(QTableView *view, const QList<int> &widths)
{
    for (qsizetype i = 0; i < widths.size(); ++i)
        view->horizontalHeader()->resizeSection(int(i), widths.at(i));
}

QTableView *addView(const char *name, TextTableModel *model, const QList<int> &widths, int rowHeight)
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

QString suggestedName(const RunReport &report)
{
    const QString stem = report.kind == RunReport::Kind::Preview ? QStringLiteral("onizleme")
                         : report.kind == RunReport::Kind::Audit ? QStringLiteral("denetim")
                                                                 : QStringLiteral("rapor");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder).filePath(stem + QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd-HHmm")) + QStringLiteral(".csv"));
}

} // namespace

ReportWindow::ReportWindow(Prompter &prompter, QWidget *owner)
    : QWidget(owner, Qt::Window)
    , m_prompter(prompter)
    , m_units(new TextTableModel(this))
    , m_totals(new TextTableModel(this))
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
    m_heading = new QLabel;
    m_heading->setObjectName(QStringLiteral("Heading"));
    m_heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_end = new QLabel;
    m_end->setObjectName(QStringLiteral("RunEnd"));
    // Room above the text for the dots of a capital Ö, which some fonts draw
    // above their ascent.
    for (QLabel *label : {m_title, m_heading, m_end})
        label->setContentsMargins(0, 3, 0, 0);
    m_end->setWordWrap(true);
    m_end->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const int rowHeight = fontMetrics().height() + 6;
    m_unitView = addView("Units", m_units, unitWidths, rowHeight);
    m_totalView = addView("Totals", m_totals, totalWidths, rowHeight);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(m_unitView);
    split->addWidget(m_totalView);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    m_save = new QPushButton(QStringLiteral("CSV Olarak Kaydet..."));
    m_save->setObjectName(QStringLiteral("Save"));
    connect(m_save, &QPushButton::clicked, this, [this] { runGuarded(m_prompter, [this] { chooseFileAndSave(); }); });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_heading);
    layout->addWidget(m_end);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
}

void ReportWindow::setReport(const RunReport &report)
{
    m_report = report;
    setWindowTitle(report.title());
    m_title->setText(report.title());
    m_heading->setText(report.heading.join(QStringLiteral("   ")));
    m_heading->setVisible(!report.heading.isEmpty());
    m_end->setText(QStringLiteral("Sonuç: ") + report.endText());
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
        throw Error(QStringLiteral("Rapor kaydedilemedi: %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
}

void ReportWindow::chooseFileAndSave()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Raporu Kaydet"), suggestedName(m_report),
                                                      QStringLiteral("CSV dosyası (*.csv)"));
    if (!path.isEmpty())
        saveAs(path);
}

} // namespace zym
