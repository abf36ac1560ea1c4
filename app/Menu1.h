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
class QFrame;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace zym {

class AnchorLayout;
class NullableDateEdit;
class ReportWindow;
class StatementGrid;
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
    AnchorLayout &addPage(QWidget *&page, const char *name, const QString &caption);
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
        runRecorded(name, [&request](const OperationContext &context) { Operation(context).run(request); });
    }
    // Connected first, with the progress dialog of a long run; as a preview
    // while "Önizleme" is ticked, otherwise, while "Yedek al" is ticked,
    // with a backup before its first change. The run's report is kept
    // however it ends, in the window and in the run log, and a preview's
    // opens by itself.
    void runRecorded(const QString &name, const std::function<void(const OperationContext &)> &operation);
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

    // Left strip
    QLabel *Label1;
    QLineEdit *Edit1;
    QLabel *Label2;
    QLineEdit *Edit2;
    QLineEdit *Edit3;
    QLabel *Label3;
    QLineEdit *Edit4;
    QPushButton *BitBtn1;
    QLabel *Label4;
    QComboBox *ComboBox1;
    QCheckBox *CheckBox5; // "Önizleme"
    QCheckBox *CheckBox6; // "Yedek al"
    QPushButton *BitBtn8; // "Rapor"
    QPushButton *BitBtn9; // "Denetle"
    QCheckBox *CheckBox2;
    QLabel *Label5;
    QLineEdit *Edit5;
    QLabel *Label7;
    QLineEdit *Edit6;
    QPushButton *BitBtn2;
    QPushButton *BitBtn4;
    QPushButton *BitBtn3;
    QCheckBox *CheckBox1;
    QLineEdit *Edit9;
    QLineEdit *Edit7;
    QLabel *Label6;
    QLineEdit *Edit8;
    QLabel *Label8;
    QPushButton *BitBtn5;
    QPushButton *BitBtn6;
    QPushButton *BitBtn7;

    QTabWidget *PageControl1;
    // "VERİ": the card list
    QWidget *TabSheet1;
    StatementGrid *DBGrid1;
    // "SQL SORGU": the card list's query
    QWidget *SORGU;
    QPlainTextEdit *Memo1;
    // "MUHHAR  1-2 AÇIKLAMA1 TRANSFER4": journal description transfer
    QWidget *TabSheet2;
    QPushButton *Button1;
    QPushButton *Button2;
    StatementGrid *DBGrid2;
    // "MUHHAR EVRAKNO ": journal document renumbering
    QWidget *TabSheet3;
    QLabel *Label14;
    QLabel *Label11;
    QLabel *Label12;
    QLabel *Label13;
    NullableDateEdit *cxDateEdit1;
    QLineEdit *Edit12;
    QLineEdit *Edit13;
    QLineEdit *Edit14;
    QPushButton *Button3;
    QPushButton *Button4;
    StatementGrid *DBGrid3;
    // "BORDRO Sicil No ": payroll registry
    QWidget *TabSheet4;
    QCheckBox *CheckBox4;
    QPushButton *Button5;
    QPushButton *Button6;
    QCheckBox *CheckBox3;
    StatementGrid *DBGrid4;
    QPlainTextEdit *Memo2;
    QLabel *Label9;
    QLineEdit *Edit11;
    QLabel *Label10;
    QLineEdit *Edit10;
    QPushButton *Button7;
    QFrame *Shape1;
    QFrame *Shape2;

    QStatusBar *StatusBar1;
    QLabel *m_statusText;

    ReportWindow *m_reportWindow;
};

} // namespace zym
