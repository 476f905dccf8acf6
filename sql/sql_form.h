// The SQL worksheet: the user types a statement into txtSQL and runs it (F8); a query's rows
// fill grdLOG, other statements report in the log txtLOG. Beside them the history of statements
// run, the table list, the registered statements of "sql.ini", execution plans and CSV export.
//
// While a command works, the window keeps painting: between records, and inside a long engine
// call through the database's progress handler. Meanwhile the window's own commands are refused
// (the session is never entered twice) and closing the window waits for the command to stop: a
// query is cancelled at once, a statement that changes data runs to its end.
#pragma once

#include "db/child_form.h"

#include <QPointer>

#include <memory>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTreeWidget;
class TStringGrid;
class TEditor;

namespace db {
class EOraError;
class OraDatabase;
} // namespace db

namespace worksheet {
class TCsvFile;
}

class TfrmSQL : public TChildForm {
    Q_OBJECT
public:
    explicit TfrmSQL(TChildHost *host, QWidget *parent = nullptr);
    ~TfrmSQL() override;

    QString KindLetter() const override { return QStringLiteral("S"); }

    // Controls, named as the window's layout names them.
    QWidget *PanelLEFT;
    QWidget *PanelRIREKI;
    QListWidget *lstRIREKI;
    QWidget *PanelTABLEVIEW;
    QTreeWidget *lstTAB;
    QSplitter *Splitter1;
    QWidget *panelRIGHT;
    QWidget *PanelPARA;
    TEditor *txtSQL;
    QSplitter *SplitLOG;
    QWidget *PanelERR;
    QTabWidget *pageDATA;
    QWidget *tabDATA;
    TStringGrid *grdLOG;
    QWidget *tabINFO;
    TEditor *txtLOG;
    QStatusBar *SBar;
    QFrame *panelSELSQL;
    QListWidget *lstSQL;
    QPushButton *btnOK;
    QPushButton *btnCANCEL;

    QMenu *mnu_EDIT;
    QAction *mnu_FILEOUT;
    QAction *mnu_EXECUTE;
    QAction *mnu_PLAN;
    QAction *mnu_REGSQL_READ;
    QAction *mnu_MakePLANTABLE;
    QAction *mnu_DelPLANTABLE;
    QAction *mnu_RIREKI_TABLE_VIEW;
    QMenu *mnu_GRID;
    QAction *mnu_GRID_LOCK;
    QAction *mnu_GRID_UNLOCK;
    QAction *mnu_GRID_Copy;
    QAction *mnu_GRID_ALLSELECT;
    QMenu *mnu_TAB;
    QAction *mnu_TAB_SELECT;
    QAction *mnu_TAB_DESC;

    // The text of status panel 0..3.
    QString StatusPanel(int index) const;
    // Whether a command is running (its commands are refused meanwhile).
    bool Busy() const { return FBusy; }
    // The file the registered statements are read from ("sql.ini" beside the program).
    void SetRegisteredSqlFile(const QString &fileName) { FRegisteredSqlFile = fileName; }

    // The commands, as the menus run them.
    void mnu_EXECUTEClick();
    void mnu_FILEOUTClick();
    void mnu_PLANClick();
    void mnu_MakePLANTABLEClick();
    void mnu_DelPLANTABLEClick();
    void mnu_REGSQL_READClick();
    void mnu_RIREKI_TABLE_VIEWClick();
    void mnu_GRID_LOCKClick();
    void mnu_GRID_UNLOCKClick();
    void mnu_GRID_CopyClick();
    void mnu_GRID_ALLSELECTClick();
    void mnu_TAB_SELECTClick();
    void mnu_TAB_DESCClick();
    void lstTABDblClick();
    void lstRIREKIDblClick();
    void btnOKClick();
    void btnCANCELClick();

protected:
    void ClearBeforeConnect() override;
    void LoadAfterOpen() override;
    void CompleteConnect() override;
    bool FixLayoutAfterFailedConnect() const override { return true; }
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TWorksheetCommand;

    void BuildLayout();
    void BuildLeftPanel();
    void BuildRightPanel();
    void BuildOverlay();
    void BuildMenus();
    void BuildPopups();
    void ReadLeftPanelSetting();

    // Statement execution.
    void RunStatement(db::OraDatabase &database);
    void FetchQuery(db::OraDatabase &database, const std::string &text);
    void DescribeTable(db::OraDatabase &database, const std::string &name);
    // Message in the log, caret at the error's position (when above 0), the grid painting again.
    void ShowFailure(const QString &message, int serverErrPos);
    void ShowFailure(const std::exception &error, const db::OraDatabase &database);
    // The database's progress handler: lets window messages run during a long engine call and
    // answers whether the call should stop.
    bool WhileEngineWorks();
    bool AskCancel();

    void ExportCsv(db::OraDatabase &database, const QString &fileName);
    bool WriteCsvRecords(db::OraDatabase &database, const std::string &text, worksheet::TCsvFile &file,
                         int &count);
    void ExplainPlan(db::OraDatabase &database);
    void RunPlanTableCommand(const QString &question, std::string_view statement, const QString &done);

    void ClearTableList();
    void FillTableList();
    void SelectedTableName(std::string &name, bool &found) const;

    void AddHistory(const std::string &text);
    void CloseOverlay();

    void grdLOGDrawCell(QPainter &painter, int col, int row, const QRect &rect, unsigned state);

    void SetStatus(int index, const QString &text);
    void ShowLogPage();
    void ShowDataPage();
    void SetLogText(const std::string &text);
    void SetLogText(const QString &text);

    bool FBusy = false;
    bool FCloseRequested = false;
    bool FCancelAllowed = false;
    // The user answered OK to "中断しますか？" while the engine worked: its ORA-01013 ends the
    // command quietly.
    bool FUserCancelled = false;
    // Records the grid holds from the last query or description.
    int FGridRecords = 0;
    // The statement of the last run, comments removed (the long-binary query reads it).
    std::string FCurrentStatement;
    QString FRegisteredSqlFile;
    QLabel *FPanels[4] = {};
};
