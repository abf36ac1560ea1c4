#pragma once

#include "HandlerGuard.h"

#include "ops/Operation.h"
#include "ops/Session.h"

#include <QMainWindow>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace zym {

class AnchorLayout;
class NullableDateEdit;
class ReportWindow;
class Prompter;

// The tool's one window. It owns the connection and the statement objects
// (the session), holds every control, and runs each operation as one handler
// named after its control and event. A handler reads its inputs from the
// controls when it runs; an error ends it and goes to the default error
// display of the prompter, which also asks the operator's questions. Every
// operation that changes data keeps a report of its run, and runs as a
// preview while "Önizleme" is ticked.
class TForm8 : public QMainWindow
{
    Q_OBJECT

public:
    TForm8(Prompter &prompter, const QString &serverText, QWidget *parent = nullptr);
    ~TForm8() override;

    Session &session() { return m_session; }
    QString statusText() const;

    // Client height the window opens with on a screen whose work area is
    // `availableHeight` high.
    static int openingClientHeight(int availableHeight);

private:
    void buildLeftStrip(AnchorLayout &client, const QString &serverText);
    void buildCardPage();
    void buildQueryPage();
    void buildVoucherPage();
    void buildJournalPage();
    void buildPayrollPage();
    AnchorLayout &addPage(const char *name, const QString &caption);
    void arrangeTabOrder();
    void connectHandlers();

    // A handler for a signal: runs `handler` under the default error display.
    template<typename Handler>
    auto guarded(Handler handler)
    {
        return [this, handler] { runGuarded(m_prompter, [this, handler] { (this->*handler)(); }); };
    }

    // For handlers that need the connection: true when connected, otherwise
    // tells the operator to connect first and the handler does nothing.
    bool requireConnection();

    // Runs an operation from its handler on the request built from the
    // controls; `name` names it in its report.
    template<typename Operation, typename Request>
    void runOperation(const QString &name, const Request &request)
    {
        runRecorded(name, [&request](const OperationContext &context) {
            Operation(context).run(request);
        });
    }
    // Connected first, with the progress dialog of a long run; as a preview
    // while "Önizleme" is ticked, otherwise, while "Yedek al" is ticked,
    // with a backup before its first change. The run's report is kept
    // however it ends, in the window and in the run log, and a preview's
    // opens by itself.
    void runRecorded(const QString &name,
                     const std::function<void(const OperationContext &)> &operation);
    // Makes `report` the one "Rapor" shows, keeps it in the run log where it
    // belongs there, and shows it when `open`. Returns why the run log could
    // not keep it; empty when it did or had no need to.
    QString keepReport(const RunReport &report, bool open);
    // Opens the connection with the typed settings, saying so while it waits.
    void openConnection(const ConnectionSettings &settings);
    void setStatusText(const QString &text);

    void BitBtn1Click();
    void ADOConnection1AfterConnect();
    void ADOConnection1AfterDisconnect();
    void ComboBox1Change();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn7Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void Listele();
    void Button6Click();
    void Button7Click();
    void BitBtn8Click();
    void BitBtn9Click();

    Prompter &m_prompter;
    Session m_session;

    // Each control is found by the design's name as its objectName; those
    // a handler reads or changes are kept here.

    // Left strip: the connection
    QLineEdit *m_serverEdit; // Edit1
    QLineEdit *m_loginEdit; // Edit2
    QLineEdit *m_passwordEdit; // Edit3
    QLineEdit *m_masterSuffixEdit; // Edit4
    QPushButton *m_connectButton; // BitBtn1
    QComboBox *m_companyBox; // ComboBox1
    // Left strip: how a run goes, and its report
    QCheckBox *m_previewCheck; // CheckBox5, "Önizleme"
    QCheckBox *m_backupCheck; // CheckBox6, "Yedek al"
    QPushButton *m_auditButton; // BitBtn9, "Denetle"
    QPushButton *m_reportButton; // BitBtn8, "Rapor"
    // Left strip: the card operations
    QCheckBox *m_makeAccountsCheck; // CheckBox2
    QLineEdit *m_startNumberEdit; // Edit5
    QLineEdit *m_codeMaskEdit; // Edit6
    QPushButton *m_cardListButton; // BitBtn2
    QPushButton *m_deleteCardButton; // BitBtn4
    QPushButton *m_recodingButton; // BitBtn3
    QCheckBox *m_sequentialModeCheck; // CheckBox1
    QLineEdit *m_accountMaskEdit; // Edit9
    QLineEdit *m_firstCustomerNumberEdit; // Edit7
    QLineEdit *m_firstSupplierNumberEdit; // Edit8
    QPushButton *m_controlledChangeButton; // BitBtn5
    QPushButton *m_missingAccountsButton; // BitBtn6
    QPushButton *m_stockLinkButton; // BitBtn7

    QTabWidget *m_pages; // PageControl1
    // "SQL SORGU": the card list's query
    QPlainTextEdit *m_cardQueryEdit; // Memo1
    // "MUHHAR  1-2 AÇIKLAMA1 TRANSFER4": journal description transfer
    QPushButton *m_voucherListButton; // Button1
    QPushButton *m_descriptionTransferButton; // Button2
    // "MUHHAR EVRAKNO ": journal document renumbering
    QWidget *m_renumberingPage; // TabSheet3
    NullableDateEdit *m_startDateEdit; // cxDateEdit1
    QLineEdit *m_accountPatternEdit; // Edit12
    QLineEdit *m_prefixEdit; // Edit13
    QLineEdit *m_firstDocumentNumberEdit; // Edit14
    QPushButton *m_lineListButton; // Button3
    QPushButton *m_renumberingButton; // Button4
    // "BORDRO Sicil No ": payroll registry
    QCheckBox *m_employeesOnlyCheck; // CheckBox4
    QPushButton *m_payrollListButton; // Button5
    QPushButton *m_registryRenumberingButton; // Button6
    QCheckBox *m_showConversionCheck; // CheckBox3
    QLineEdit *m_currentWorkplaceEdit; // Edit11
    QLineEdit *m_newWorkplaceEdit; // Edit10
    QPushButton *m_workplaceChangeButton; // Button7

    QLabel *m_statusText;

    ReportWindow *m_reportWindow;
};

} // namespace zym
