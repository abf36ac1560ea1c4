#include "Menu1.h"

#include "AnchorLayout.h"
#include "CompanyChoice.h"
#include "ModalProgress.h"
#include "NullableDateEdit.h"
#include "ReportWindow.h"
#include "StatementGrid.h"
#include "WhileRepainting.h"
#include "WrappingButton.h"

#include "audit/AuditReport.h"
#include "audit/CompanyAudit.h"

#include "cards/CardDeletion.h"
#include "cards/CardList.h"
#include "cards/ControlledCodeChange.h"
#include "cards/MissingAccounts.h"
#include "cards/SequentialRecoding.h"
#include "db/CompanyList.h"
#include "journal/DescriptionTransfer.h"
#include "journal/DocumentRenumbering.h"
#include "journal/LineListing.h"
#include "journal/VoucherList.h"
#include "ops/Prompter.h"
#include "ops/RecordedRun.h"
#include "ops/RunBackup.h"
#include "ops/RunLog.h"
#include "ops/ServerLogin.h"
#include "payroll/PayrollList.h"
#include "payroll/RegistryRenumbering.h"
#include "payroll/WorkplaceCodeChange.h"
#include "stock/StockLinkGeneration.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>

namespace zym {

namespace {

// Places and sizes are the design's, in pixels at 96 dpi.
constexpr QSize designClientSize(1170, 525 - 19); // above the status bar
// The page area of PageControl1 at its design size, to which the pages'
// anchored grids keep their distances.
constexpr QSize designPageSize(962, 478);
constexpr int statusBarHeight = 19;
constexpr int editHeight = 21;
constexpr int labelHeight = 13;
// The design's 525-pixel client area hides BitBtn5 to BitBtn7: the window
// opens tall enough to show the lowest of them, BitBtn7, with a small margin.
constexpr int lowestControlBottom = 624 + 25;
constexpr int bottomMargin = 6;
// Room for the title bar and frame when the screen bounds the height.
constexpr int frameAllowance = 40;

const QString caption =
        QStringLiteral("PLX V.1.9  ZYM CARİ KOD DÜZENLEYİCİ      (HESAP PLAN DAHİL)");
const QString connectCaption = QStringLiteral("Bağlan");

QFont formFont()
{
    const QString tahoma = QStringLiteral("Tahoma");
    QFont font(QFontDatabase::families().contains(tahoma)
                       ? tahoma
                       : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    font.setPointSize(8);
    return font;
}

// Only the weight (and size) is set: the rest comes from the window's font.
QFont boldFont(int pointSize = 0)
{
    QFont font;
    font.setBold(true);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    return font;
}

template<typename Widget, typename... Args>
Widget *named(const char *name, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Labels size themselves to their text, so they are measured in their
// parent's font before they are placed.
QLabel *addLabel(AnchorLayout &layout, const char *name, const QString &text, QPoint at,
                 const QFont &font = QFont())
{
    auto *label = named<QLabel>(name, text, layout.parentWidget());
    label->setFont(font);
    layout.place(label, QRect(at, QSize(label->sizeHint().width(), labelHeight)));
    return label;
}

QLineEdit *addEdit(AnchorLayout &layout, const char *name, const QString &text, QPoint at,
                   int width)
{
    auto *edit = named<QLineEdit>(name, text);
    layout.place(edit, QRect(at, QSize(width, editHeight)));
    return edit;
}

template<typename Button = QPushButton>
QPushButton *addButton(AnchorLayout &layout, const char *name, const QString &text,
                       const QRect &place)
{
    auto *button = named<Button>(name, text);
    layout.place(button, place);
    return button;
}

QCheckBox *addCheckBox(AnchorLayout &layout, const char *name, const QString &text,
                       const QRect &place, bool checked)
{
    auto *box = named<QCheckBox>(name, text);
    box->setChecked(checked);
    layout.place(box, place);
    return box;
}

QPlainTextEdit *addMemo(AnchorLayout &layout, const char *name, const QString &text,
                        const QRect &place)
{
    auto *memo = named<QPlainTextEdit>(name, text);
    memo->setTabChangesFocus(true);
    layout.place(memo, place);
    return memo;
}

// A decorative rectangle: white, with a black border, drawn beneath the
// page's controls as shapes are.
QFrame *addShape(AnchorLayout &layout, const char *name, const QRect &place)
{
    auto *shape = named<QFrame>(name);
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    shape->setPalette(palette);
    shape->setAutoFillBackground(true);
    layout.place(shape, place);
    shape->lower();
    return shape;
}

StatementGrid *addGrid(AnchorLayout &layout, const char *name, Statement &statement,
                       const QRect &place, Qt::Edges anchors)
{
    auto *grid = named<StatementGrid>(name, statement);
    layout.place(grid, place, anchors);
    return grid;
}

} // namespace

TForm8::TForm8(Prompter &prompter, const QString &serverText, QWidget *parent)
    : QMainWindow(parent), m_prompter(prompter)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(caption);
    setWindowIcon(QIcon(QStringLiteral(":/zym-cari-kod.svg")));
    setFont(formFont());

    auto *client = new QWidget;
    setCentralWidget(client);
    auto *clientLayout = new AnchorLayout(designClientSize, client);
    buildLeftStrip(*clientLayout, serverText);

    m_pages = named<QTabWidget>("PageControl1");
    clientLayout->place(m_pages, QRect(QPoint(200, 0), QSize(970, designClientSize.height())),
                        Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    buildCardPage();
    buildQueryPage();
    buildVoucherPage();
    buildJournalPage();
    buildPayrollPage();
    m_pages->setCurrentWidget(m_renumberingPage);

    auto *statusBar = named<QStatusBar>("StatusBar1");
    statusBar->setFixedHeight(statusBarHeight);
    // One text over the whole width; a label, since a status bar's own
    // message is cleared by every status tip.
    m_statusText = new QLabel;
    statusBar->addWidget(m_statusText, 1);
    setStatusBar(statusBar);
    setStatusText(QStringLiteral("Bağlı değil"));

    m_reportWindow = new ReportWindow(m_prompter, this);

    arrangeTabOrder();
    connectHandlers();
    resize(designClientSize.width(), openingClientHeight(screen()->availableGeometry().height()));
}

TForm8::~TForm8()
{
    // The grids read the session's statements: they go first.
    delete takeCentralWidget();
}

QString TForm8::statusText() const
{
    return m_statusText->text();
}

int TForm8::openingClientHeight(int availableHeight)
{
    return qMin(lowestControlBottom + bottomMargin + statusBarHeight,
                availableHeight - frameAllowance);
}

void TForm8::buildLeftStrip(AnchorLayout &client, const QString &serverText)
{
    addLabel(client, "Label1", QStringLiteral("Sunucu:"), { 23, 11 }, boldFont());
    m_serverEdit = addEdit(client, "Edit1", serverText, { 73, 8 }, 121);
    m_serverEdit->setFont(boldFont());
    addLabel(client, "Label2", QStringLiteral("Kullanıcı:"), { 18, 38 }, boldFont());
    m_loginEdit = addEdit(client, "Edit2", QStringLiteral("sa"), { 73, 35 }, 55);
    m_passwordEdit = addEdit(client, "Edit3", QStringLiteral("vyx"), { 139, 35 }, 55);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    addLabel(client, "Label3", QStringLiteral("Parola:"), { 28, 65 }, boldFont());
    m_masterSuffixEdit = addEdit(client, "Edit4", QStringLiteral("MASTERV8"), { 73, 62 }, 121);
    m_masterSuffixEdit->setFont(boldFont());
    m_connectButton = addButton(client, "BitBtn1", connectCaption, { 71, 89, 123, 48 });
    m_connectButton->setFont(boldFont());
    addLabel(client, "Label4", QStringLiteral("Firma:"), { 30, 146 }, boldFont());

    m_companyBox = named<QComboBox>("ComboBox1");
    m_companyBox->setEditable(true);
    // A typed name is a choice, not a new entry of the list.
    m_companyBox->setInsertPolicy(QComboBox::NoInsert);
    m_companyBox->setEditText(QStringLiteral("Firma Seç"));
    client.place(m_companyBox, { 71, 143, 127, editHeight });

    // In the free band above CheckBox2: every control of the design keeps its place.
    m_previewCheck =
            addCheckBox(client, "CheckBox5", QStringLiteral("Önizleme"), { 8, 167, 84, 17 }, false);
    m_backupCheck =
            addCheckBox(client, "CheckBox6", QStringLiteral("Yedek al"), { 8, 184, 84, 17 }, true);
    m_auditButton = addButton(client, "BitBtn9", QStringLiteral("Denetle"), { 94, 172, 52, 25 });
    m_reportButton = addButton(client, "BitBtn8", QStringLiteral("Rapor"), { 148, 172, 46, 25 });
    m_reportButton->setEnabled(false); // until a run has a report

    m_makeAccountsCheck =
            addCheckBox(client, "CheckBox2", QStringLiteral("Muh Hesap Planı açılsın"),
                        { 58, 202, 97, 17 }, false);
    addLabel(client, "Label5", QStringLiteral("Başlangıç:"), { 8, 227 });
    m_startNumberEdit = addEdit(client, "Edit5", QStringLiteral("1"), { 62, 224 }, 79);
    addLabel(client, "Label7", QStringLiteral("Format:"), { 17, 254 });
    m_codeMaskEdit = addEdit(client, "Edit6", QStringLiteral("0000"), { 61, 251 }, 79);
    m_cardListButton =
            addButton(client, "BitBtn2", QStringLiteral("CariKart"), { 58, 278, 132, 25 });
    m_deleteCardButton =
            addButton(client, "BitBtn4", QStringLiteral("Seçili Kartı Sil"), { 58, 309, 132, 25 });
    m_recodingButton = addButton(client, "BitBtn3", QStringLiteral("Başlat"), { 62, 340, 132, 65 });
    m_sequentialModeCheck =
            addCheckBox(client, "CheckBox1", QStringLiteral("Hesap Planı Sıralı açılsın"),
                        { 58, 411, 97, 17 }, true);
    m_accountMaskEdit = addEdit(client, "Edit9", QStringLiteral("0000"), { 58, 431 }, 121);
    m_firstCustomerNumberEdit = addEdit(client, "Edit7", QStringLiteral("1"), { 58, 458 }, 57);
    addLabel(client, "Label6", QStringLiteral("120"), { 119, 463 });
    m_firstSupplierNumberEdit = addEdit(client, "Edit8", QStringLiteral("1"), { 58, 485 }, 57);
    addLabel(client, "Label8", QStringLiteral("320 Sıra No"), { 119, 488 });
    // Its caption is wider than the button, which is tall enough for two lines.
    m_controlledChangeButton = addButton<WrappingButton>(
            client, "BitBtn5", QStringLiteral("Kontrollu Cari Kod Değiştir"), { 58, 521, 132, 66 });
    m_missingAccountsButton =
            addButton(client, "BitBtn6", QStringLiteral("MuhKod olmayan"), { 58, 593, 132, 25 });
    m_stockLinkButton =
            addButton(client, "BitBtn7", QStringLiteral("STOK MUH OLUŞTUR"), { 58, 624, 136, 25 });
}

AnchorLayout &TForm8::addPage(const char *name, const QString &caption)
{
    auto *page = named<QWidget>(name);
    m_pages->addTab(page, caption);
    return *new AnchorLayout(designPageSize, page);
}

void TForm8::buildCardPage()
{
    AnchorLayout &page = addPage("TabSheet1", QStringLiteral("         VERİ         "));
    auto *cardGrid = addGrid(page, "DBGrid1", m_session.cardList, { -4, -6, 922, 457 },
                             Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    // The grid's top 6 pixels lie above the page; its header is as much taller
    // and its titles sit at its foot, so they stay whole.
    QHeaderView *titles = cardGrid->horizontalHeader();
    // A header's own height follows its titles' font with a few pixels of frame.
    titles->setMinimumHeight(titles->fontMetrics().height() + 8 + 6);
    titles->setDefaultAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    QList<StatementGrid::Column> columns;
    for (const CardList::Column &column : CardList::columns())
        columns << StatementGrid::Column{ column.name, column.gridWidth };
    cardGrid->showColumns(columns);
}

void TForm8::buildQueryPage()
{
    AnchorLayout &page = addPage("SORGU", QStringLiteral("SQL SORGU"));
    m_cardQueryEdit = addMemo(page, "Memo1", CardList::defaultQuery, { 14, 12, 874, 546 });
}

void TForm8::buildVoucherPage()
{
    AnchorLayout &page = addPage("TabSheet2", QStringLiteral("MUHHAR  1-2 AÇIKLAMA1 TRANSFER4"));
    m_voucherListButton = addButton(page, "Button1", QStringLiteral("Listele"), { 16, 36, 75, 25 });
    m_descriptionTransferButton =
            addButton(page, "Button2", QStringLiteral("Başlat"), { 16, 90, 75, 25 });
    auto *voucherGrid = addGrid(page, "DBGrid2", m_session.voucherList, { 97, 3, 714, 144 },
                                Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
    voucherGrid->horizontalHeader()->setFont(boldFont(10));
}

void TForm8::buildJournalPage()
{
    AnchorLayout &page = addPage("TabSheet3", QStringLiteral("MUHHAR EVRAKNO "));
    m_renumberingPage = page.parentWidget();
    addLabel(page, "Label14", QStringLiteral("Başlangıç Tarihi"), { 97, 14 });
    addLabel(page, "Label11", QStringLiteral("Hesap Kodu"), { 297, 14 });
    addLabel(page, "Label12", QStringLiteral("Ön Takı"), { 401, 14 });
    addLabel(page, "Label13", QStringLiteral("Sıra No"), { 513, 14 });
    m_startDateEdit = named<NullableDateEdit>("cxDateEdit1");
    page.place(m_startDateEdit, { 97, 33, 121, editHeight });
    m_accountPatternEdit = addEdit(page, "Edit12", QStringLiteral("103 01 %"), { 297, 33 }, 79);
    m_prefixEdit = addEdit(page, "Edit13", QStringLiteral("22FCB0"), { 401, 33 }, 79);
    m_firstDocumentNumberEdit = addEdit(page, "Edit14", QStringLiteral("1"), { 513, 33 }, 79);
    m_lineListButton = addButton(page, "Button3", QStringLiteral("Listele"), { 16, 65, 75, 25 });
    m_renumberingButton = addButton(page, "Button4", QStringLiteral("Başlat"), { 16, 117, 75, 25 });
    auto *lineGrid = addGrid(page, "DBGrid3", m_session.journalLines, { 97, 65, 714, 265 },
                             Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
    lineGrid->horizontalHeader()->setFont(boldFont(10));
}

void TForm8::buildPayrollPage()
{
    AnchorLayout &page = addPage("TabSheet4", QStringLiteral("BORDRO Sicil No "));
    m_employeesOnlyCheck =
            addCheckBox(page, "CheckBox4", QStringLiteral("Çalışanlar"), { 26, 18, 72, 17 }, false);
    m_payrollListButton = addButton(page, "Button5", QStringLiteral("Listele"), { 24, 41, 75, 25 });
    m_registryRenumberingButton =
            addButton(page, "Button6", QStringLiteral("Başlat"), { 24, 100, 75, 25 });
    m_showConversionCheck = addCheckBox(page, "CheckBox3", QStringLiteral("Çevrim Göster"),
                                        { 4, 249, 95, 17 }, false);
    auto *registryGrid = addGrid(page, "DBGrid4", m_session.registryList, { 105, 41, 714, 256 },
                                 Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
    registryGrid->horizontalHeader()->setFont(boldFont(10));
    // Shows the listing's query; the listing itself is fixed.
    auto *payrollQuery = addMemo(page, "Memo2", QStringLiteral("SELECT * FROM BORSICIL "),
                                 { 104, 303, 713, 155 });
    payrollQuery->setReadOnly(true);
    addLabel(page, "Label9", QStringLiteral("İŞYERİ KODU"), { 499, 19 });
    m_currentWorkplaceEdit = addEdit(page, "Edit11", QStringLiteral("MERKEZ"), { 567, 14 }, 80);
    m_currentWorkplaceEdit->setFont(boldFont());
    addLabel(page, "Label10", QStringLiteral("->"), { 649, 18 });
    m_newWorkplaceEdit = addEdit(page, "Edit10", QStringLiteral("MERKEZ"), { 665, 14 }, 80);
    m_newWorkplaceEdit->setFont(boldFont());
    m_workplaceChangeButton =
            addButton(page, "Button7", QStringLiteral("Başlat"), { 751, 12, 66, 23 });
    addShape(page, "Shape1", { 64, 112, 1, 109 });
    addShape(page, "Shape2", { -7, 203, 72, 40 });
}

// The design's tab order of the left strip, then the preview's controls; the
// page control's own controls follow it in the order they were made.
void TForm8::arrangeTabOrder()
{
    const QList<QWidget *> order{ m_serverEdit,
                                  m_loginEdit,
                                  m_passwordEdit,
                                  m_masterSuffixEdit,
                                  m_connectButton,
                                  m_cardListButton,
                                  m_startNumberEdit,
                                  m_codeMaskEdit,
                                  m_recodingButton,
                                  m_deleteCardButton,
                                  m_controlledChangeButton,
                                  m_pages,
                                  m_sequentialModeCheck,
                                  m_firstCustomerNumberEdit,
                                  m_missingAccountsButton,
                                  m_firstSupplierNumberEdit,
                                  m_accountMaskEdit,
                                  m_makeAccountsCheck,
                                  m_stockLinkButton,
                                  m_companyBox,
                                  m_previewCheck,
                                  m_backupCheck,
                                  m_auditButton,
                                  m_reportButton };
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void TForm8::connectHandlers()
{
    connect(m_connectButton, &QPushButton::clicked, this, guarded(&TForm8::BitBtn1Click));
    connect(&m_session.connection, &Connection::connected, this,
            guarded(&TForm8::ADOConnection1AfterConnect));
    connect(&m_session.connection, &Connection::disconnected, this,
            guarded(&TForm8::ADOConnection1AfterDisconnect));
    connect(new CompanyChoice(*m_companyBox), &CompanyChoice::chosen, this,
            guarded(&TForm8::ComboBox1Change));
    connect(m_cardListButton, &QPushButton::clicked, this, guarded(&TForm8::BitBtn2Click));
    connect(m_recodingButton, &QPushButton::clicked, this, guarded(&TForm8::BitBtn3Click));
    connect(m_stockLinkButton, &QPushButton::clicked, this, guarded(&TForm8::BitBtn7Click));
    connect(m_voucherListButton, &QPushButton::clicked, this, guarded(&TForm8::Button1Click));
    connect(m_descriptionTransferButton, &QPushButton::clicked, this,
            guarded(&TForm8::Button2Click));
    connect(m_lineListButton, &QPushButton::clicked, this, guarded(&TForm8::Button3Click));
    connect(m_renumberingButton, &QPushButton::clicked, this, guarded(&TForm8::Button4Click));
    connect(m_deleteCardButton, &QPushButton::clicked, this, guarded(&TForm8::BitBtn4Click));
    connect(m_controlledChangeButton, &QPushButton::clicked, this, guarded(&TForm8::BitBtn5Click));
    connect(m_missingAccountsButton, &QPushButton::clicked, this, guarded(&TForm8::BitBtn6Click));
    connect(m_payrollListButton, &QPushButton::clicked, this, guarded(&TForm8::Listele));
    connect(m_registryRenumberingButton, &QPushButton::clicked, this,
            guarded(&TForm8::Button6Click));
    connect(m_workplaceChangeButton, &QPushButton::clicked, this, guarded(&TForm8::Button7Click));
    connect(m_reportButton, &QPushButton::clicked, this, guarded(&TForm8::BitBtn8Click));
    connect(m_auditButton, &QPushButton::clicked, this, guarded(&TForm8::BitBtn9Click));
}

bool TForm8::requireConnection()
{
    if (m_session.connection.isOpen())
        return true;
    m_prompter.notify(QStringLiteral("Önce sunucuya bağlanın."));
    return false;
}

void TForm8::runRecorded(const QString &name,
                         const std::function<void(const OperationContext &)> &operation)
{
    if (!requireConnection())
        return;
    const bool preview = m_previewCheck->isChecked();
    const bool backingUp = !preview && m_backupCheck->isChecked();
    const Connection &connection = m_session.connection;
    RunHeading heading{ name,
                        connection.server(),
                        connection.currentDatabase(),
                        QDateTime::currentDateTime(),
                        RunHeading::currentUser(),
                        QString() };
    RunBackup backup(m_session.connection, m_prompter);
    RunOutcome outcome;
    {
        ModalProgress progress(this);
        RunSettings settings{ .preview = preview };
        if (backingUp)
            settings.beforeChanges = [&] { backup.make(progress); };
        outcome = recordedRun(m_session, m_prompter, progress, settings, operation);
    }
    if (outcome.declined())
        return;
    QString unkept;
    if (outcome.ran) {
        outcome.report.heading = heading;
        outcome.report.heading.backup = preview ? QStringLiteral("Önizlemede yedek alınmaz")
                : backingUp                     ? backup.outcome()
                            : QStringLiteral("Yedek alınmadı (\"Yedek al\" işaretli değil)");
        unkept = keepReport(outcome.report, preview);
    }
    // A report the run log could not keep is said with the run's own error.
    if (!unkept.isEmpty()) {
        try {
            outcome.rethrow();
        } catch (const Error &error) {
            throw Error(error.text() + u'\n' + unkept);
        }
        throw Error(unkept);
    }
    outcome.rethrow();
}

QString TForm8::keepReport(const RunReport &report, bool open)
{
    QString logFile;
    QString unkept;
    if (RunLog::keeps(report)) {
        try {
            // A long run's workbook takes a while to write.
            logFile = QDir::toNativeSeparators(
                    whileRepainting([&report] { return RunLog::keep(report); }));
        } catch (const Error &error) {
            unkept = error.text();
        }
    }
    m_reportWindow->setReport(report, logFile);
    m_reportButton->setEnabled(true);
    if (open)
        BitBtn8Click();
    return unkept;
}

void TForm8::setStatusText(const QString &text)
{
    m_statusText->setText(text);
}

// The caption is the record of the state: "Bağlan" connects, anything else
// disconnects.
void TForm8::BitBtn1Click()
{
    if (m_connectButton->text() != connectCaption) {
        m_session.connection.close();
        return;
    }
    const ConnectionSettings settings{ .server = m_serverEdit->text(),
                                       .login = m_loginEdit->text(),
                                       .password = m_passwordEdit->text(),
                                       .masterSuffix = m_masterSuffixEdit->text() };
    ServerLogin::connect(settings, m_prompter,
                         [this](const ConnectionSettings &typed) { openConnection(typed); });
}

// A server that does not answer keeps the window waiting for the login
// time-out: the status bar and the cursor say so meanwhile.
void TForm8::openConnection(const ConnectionSettings &settings)
{
    const QString before = statusText();
    setStatusText(QStringLiteral("Bağlanıyor…"));
    m_statusText->repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        m_session.connection.open(settings);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        setStatusText(before);
        throw;
    }
    QApplication::restoreOverrideCursor();
}

void TForm8::ADOConnection1AfterConnect()
{
    setStatusText(QStringLiteral("Bağlandı"));
    m_connectButton->setText(QStringLiteral("Bağlı"));
    const QStringList names = companyList(m_session.connection);
    m_companyBox->clear();
    m_companyBox->addItems(names);
    // Filling an empty list makes its first entry current; no company is chosen yet.
    m_companyBox->setCurrentIndex(-1);
}

void TForm8::ADOConnection1AfterDisconnect()
{
    m_connectButton->setText(connectCaption);
    setStatusText(QStringLiteral("Bağlı değil..."));
    m_companyBox->clear();
    m_companyBox->clearEditText();
}

void TForm8::ComboBox1Change()
{
    if (!requireConnection())
        return;
    m_session.connection.use(m_companyBox->currentText());
}

// Loads the card list from the query editor's text as it stands.
void TForm8::BitBtn2Click()
{
    if (!requireConnection())
        return;
    CardList::load(m_session, m_cardQueryEdit->toPlainText());
}

void TForm8::BitBtn3Click()
{
    runOperation<SequentialRecoding>(
            QStringLiteral("Sıralı Cari Kod Düzenleme"),
            RecodingRequest{ .startNumber = m_startNumberEdit->text(),
                             .codeMask = m_codeMaskEdit->text(),
                             .firstCustomerNumber = m_firstCustomerNumberEdit->text(),
                             .firstSupplierNumber = m_firstSupplierNumberEdit->text(),
                             .sequentialMode = m_sequentialModeCheck->isChecked(),
                             .makeAccounts = m_makeAccountsCheck->isChecked() });
}

void TForm8::BitBtn7Click()
{
    runOperation<StockLinkGeneration>(QStringLiteral("Stok Muhasebe Bağlantıları"),
                                      StockLinkRequest{});
}

void TForm8::Button1Click()
{
    if (!requireConnection())
        return;
    VoucherList::load(m_session);
}

void TForm8::Button2Click()
{
    runOperation<DescriptionTransfer>(QStringLiteral("Fiş Açıklama Aktarımı"),
                                      DescriptionTransferRequest{});
}

void TForm8::Button3Click()
{
    if (!requireConnection())
        return;
    LineListing::open(m_session,
                      LineListingRequest{ .startDate = m_startDateEdit->date(),
                                          .accountPattern = m_accountPatternEdit->text() });
}

void TForm8::Button4Click()
{
    runOperation<DocumentRenumbering>(
            QStringLiteral("Evrak No Düzenleme"),
            RenumberingRequest{ .prefix = m_prefixEdit->text(),
                                .firstNumber = m_firstDocumentNumberEdit->text() });
}

// Deletes the card selected in the grid and loads the list again from the
// query editor's text as it stands.
void TForm8::BitBtn4Click()
{
    runOperation<CardDeletion>(QStringLiteral("Seçili Kart Silme"),
                               CardDeletionRequest{ .listQuery = m_cardQueryEdit->toPlainText() });
}

void TForm8::BitBtn5Click()
{
    runOperation<ControlledCodeChange>(
            QStringLiteral("Kontrollü Cari Kod Değiştirme"),
            ControlledChangeRequest{ .startNumber = m_startNumberEdit->text(),
                                     .codeMask = m_codeMaskEdit->text() });
}

void TForm8::BitBtn6Click()
{
    runOperation<MissingAccounts>(
            QStringLiteral("Muhasebe Kodu Olmayan Kartlar"),
            MissingAccountsRequest{ .firstCustomerNumber = m_firstCustomerNumberEdit->text(),
                                    .firstSupplierNumber = m_firstSupplierNumberEdit->text(),
                                    .accountMask = m_accountMaskEdit->text() });
}

// Lists the payroll registry: everyone, or with "Çalışanlar" those still at work.
void TForm8::Listele()
{
    if (!requireConnection())
        return;
    PayrollList::load(m_session, m_employeesOnlyCheck->isChecked());
}

void TForm8::Button6Click()
{
    runOperation<RegistryRenumbering>(
            QStringLiteral("Bordro Sicil No Düzenleme"),
            RegistryRenumberingRequest{ .startNumber = m_startNumberEdit->text(),
                                        .codeMask = m_codeMaskEdit->text(),
                                        .employeesOnly = m_employeesOnlyCheck->isChecked(),
                                        .showConversion = m_showConversionCheck->isChecked() });
}

void TForm8::Button7Click()
{
    runOperation<WorkplaceCodeChange>(
            QStringLiteral("İşyeri Kodu Değiştirme"),
            WorkplaceChangeRequest{ .currentCode = m_currentWorkplaceEdit->text(),
                                    .newCode = m_newWorkplaceEdit->text(),
                                    .employeesOnly = m_employeesOnlyCheck->isChecked() });
}

// Checks the chosen company without changing it and opens what it found.
void TForm8::BitBtn9Click()
{
    if (!requireConnection())
        return;
    const QString company = m_session.connection.currentDatabase();
    if (m_companyBox->findText(company) < 0) {
        m_prompter.notify(QStringLiteral("Önce bir firma seçin."));
        return;
    }
    AuditOutcome outcome;
    {
        ModalProgress progress(this);
        outcome = CompanyAudit(m_session.connection, progress).run();
    }
    const Connection &connection = m_session.connection;
    const QString unkept = keepReport(
            auditReport(outcome,
                        { QString(), connection.server(), company, QDateTime::currentDateTime(),
                          RunHeading::currentUser(), QString() }),
            true);
    if (!unkept.isEmpty())
        throw Error(unkept);
}

// Shows the report of the last run.
void TForm8::BitBtn8Click()
{
    m_reportWindow->show();
    m_reportWindow->raise();
    m_reportWindow->activateWindow();
}

} // namespace zym
