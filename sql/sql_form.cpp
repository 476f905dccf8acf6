// The SQL worksheet window: layout, menus, popups, the worksheet's steps of Connect, closing.
#include "sql/sql_form.h"

#include "classlib/cp932.h"
#include "classlib/errors.h"
#include "classlib/string_grid.h"
#include "db/form_helpers.h"
#include "db/ora_database.h"
#include "db/ora_session.h"
#include "settings/save_prop.h"
#include "editor/editor.h"
#include "sql/worksheet_editors.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

using formutil::AddMenu;
using formutil::AddMenuItem;

namespace {

const QString kGothic = QStringLiteral("ＭＳ ゴシック");
const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");

// A grey title bar in white letters above a list or an editor.
QLabel *TitleLabel(const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->setContentsMargins(4, 2, 4, 2);
    return label;
}

QVBoxLayout *TightColumn(QWidget *panel)
{
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

} // namespace

TfrmSQL::TfrmSQL(TChildHost *host, QWidget *parent)
    : TChildForm(host, parent)
    , FRegisteredSqlFile(QCoreApplication::applicationDirPath() + QStringLiteral("/sql.ini"))
{
    setObjectName(QStringLiteral("frmSQL"));
    formutil::SetHelpContext(this, 3000);
    MenuBar()->setObjectName(QStringLiteral("MainMenu1"));
    BuildLayout();
    BuildMenus();
    BuildPopups();
    BuildOverlay();
    ReadLeftPanelSetting();
    // Esc closes the registered-statement overlay wherever the focus is in the window.
    installEventFilter(this);
    for (auto *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

TfrmSQL::~TfrmSQL() = default;

void TfrmSQL::BuildLayout()
{
    auto *content = ContentArea();
    auto *layout = TightColumn(content);
    Splitter1 = new QSplitter(Qt::Horizontal, content);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    layout->addWidget(Splitter1, 1);
    BuildLeftPanel();
    BuildRightPanel();
    Splitter1->addWidget(PanelLEFT);
    Splitter1->addWidget(panelRIGHT);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({217, 800});

    SBar = new QStatusBar(content);
    SBar->setObjectName(QStringLiteral("SBar"));
    SBar->setSizeGripEnabled(false);
    const int widths[4] = {150, 150, 150, 300};
    for (int i = 0; i < 4; ++i) {
        FPanels[i] = new QLabel(SBar);
        FPanels[i]->setObjectName(QStringLiteral("SBarPanel%1").arg(i + 1));
        FPanels[i]->setFixedWidth(widths[i]);
        FPanels[i]->setFrameShape(QFrame::StyledPanel);
        SBar->addWidget(FPanels[i]);
    }
    layout->addWidget(SBar);
}

void TfrmSQL::BuildLeftPanel()
{
    PanelLEFT = new QWidget;
    PanelLEFT->setObjectName(QStringLiteral("PanelLEFT"));
    PanelLEFT->setMinimumWidth(40);
    auto *split = new QSplitter(Qt::Vertical, PanelLEFT);
    split->setObjectName(QStringLiteral("SplitRIREKI"));
    split->setChildrenCollapsible(false);
    TightColumn(PanelLEFT)->addWidget(split);

    PanelRIREKI = new QWidget(split);
    PanelRIREKI->setObjectName(QStringLiteral("PanelRIREKI"));
    auto *history = TightColumn(PanelRIREKI);
    history->addWidget(TitleLabel(QStringLiteral("履歴"), PanelRIREKI));
    lstRIREKI = new QListWidget(PanelRIREKI);
    lstRIREKI->setObjectName(QStringLiteral("lstRIREKI"));
    lstRIREKI->setFont(formutil::WindowFont(kPGothic, 15));
    formutil::SetHelpContext(lstRIREKI, 5009);
    history->addWidget(lstRIREKI, 1);
    connect(lstRIREKI, &QListWidget::itemDoubleClicked, this, &TfrmSQL::lstRIREKIDblClick);

    PanelTABLEVIEW = new QWidget(split);
    PanelTABLEVIEW->setObjectName(QStringLiteral("PanelTABLEVIEW"));
    auto *tables = TightColumn(PanelTABLEVIEW);
    tables->addWidget(TitleLabel(QStringLiteral("TABLE/VIEW"), PanelTABLEVIEW));
    lstTAB = new QTreeWidget(PanelTABLEVIEW);
    lstTAB->setObjectName(QStringLiteral("lstTAB"));
    lstTAB->setHeaderHidden(true);
    lstTAB->setRootIsDecorated(false);
    lstTAB->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstTAB->setFont(formutil::WindowFont(kPGothic, 15));
    lstTAB->setContextMenuPolicy(Qt::CustomContextMenu);
    formutil::SetHelpContext(lstTAB, 5010);
    tables->addWidget(lstTAB, 1);
    connect(lstTAB, &QTreeWidget::itemDoubleClicked, this, &TfrmSQL::lstTABDblClick);
    connect(lstTAB, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &point) { mnu_TAB->popup(lstTAB->viewport()->mapToGlobal(point)); });
    split->setSizes({256, 300});
}

void TfrmSQL::BuildRightPanel()
{
    panelRIGHT = new QWidget;
    panelRIGHT->setObjectName(QStringLiteral("panelRIGHT"));
    SplitLOG = new QSplitter(Qt::Vertical, panelRIGHT);
    SplitLOG->setObjectName(QStringLiteral("SplitLOG"));
    SplitLOG->setChildrenCollapsible(false);
    TightColumn(panelRIGHT)->addWidget(SplitLOG);

    PanelPARA = new QWidget(SplitLOG);
    PanelPARA->setObjectName(QStringLiteral("PanelPARA"));
    PanelPARA->setMinimumHeight(60);
    auto *para = TightColumn(PanelPARA);
    para->addWidget(TitleLabel(QStringLiteral("ＳＱＬ"), PanelPARA));
    txtSQL = new TEditor(PanelPARA);
    txtSQL->setObjectName(QStringLiteral("txtSQL"));
    txtSQL->setMinimumHeight(30);
    worksheet::DressStatementEditor(*txtSQL);
    formutil::SetHelpContext(txtSQL, 5011);
    para->addWidget(txtSQL, 1);

    PanelERR = new QWidget(SplitLOG);
    PanelERR->setObjectName(QStringLiteral("PanelERR"));
    pageDATA = new QTabWidget(PanelERR);
    pageDATA->setObjectName(QStringLiteral("pageDATA"));
    TightColumn(PanelERR)->addWidget(pageDATA);

    tabDATA = new QWidget;
    tabDATA->setObjectName(QStringLiteral("tabDATA"));
    grdLOG = new TStringGrid(tabDATA);
    grdLOG->setObjectName(QStringLiteral("grdLOG"));
    grdLOG->setFont(formutil::WindowFont(kGothic, 15));
    grdLOG->SetColor(Qt::white);
    grdLOG->SetDefaultRowHeight(19);
    grdLOG->SetColCount(2);
    grdLOG->SetRowCount(2);
    grdLOG->SetOptions(grdLOG->Options() | goRowSizing | goColSizing | goRowMoving | goColMoving |
                       goRangeSelect);
    grdLOG->setContextMenuPolicy(Qt::CustomContextMenu);
    formutil::SetHelpContext(grdLOG, 5012);
    grdLOG->OnDrawCell = [this](QPainter &painter, int col, int row, const QRect &rect, TGridDrawState state) {
        grdLOGDrawCell(painter, col, row, rect, static_cast<unsigned>(state));
    };
    connect(grdLOG, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &point) { mnu_GRID->popup(grdLOG->viewport()->mapToGlobal(point)); });
    TightColumn(tabDATA)->addWidget(grdLOG);
    pageDATA->addTab(tabDATA, QStringLiteral("データ"));

    tabINFO = new QWidget;
    tabINFO->setObjectName(QStringLiteral("tabINFO"));
    txtLOG = new TEditor(tabINFO);
    txtLOG->setObjectName(QStringLiteral("txtLOG"));
    worksheet::DressLogEditor(*txtLOG);
    formutil::SetHelpContext(txtLOG, 5012);
    TightColumn(tabINFO)->addWidget(txtLOG);
    pageDATA->addTab(tabINFO, QStringLiteral("情報"));

    SplitLOG->setSizes({240, 400});
    SplitLOG->setStretchFactor(1, 1);
}

void TfrmSQL::BuildMenus()
{
    auto *fileMenu = AddFileMenu(0);
    AddCloseItems(fileMenu);

    mnu_EDIT = AddMenu(MenuBar(), "mnu_EDIT", QStringLiteral("編集(&E)"), 0,
                       QStringLiteral("編集関連の機能"));
    mnu_EDIT->menuAction()->setEnabled(false);
    mnu_FILEOUT = AddMenuItem(mnu_EDIT, "mnu_FILEOUT", QStringLiteral("ファイルへ出力(&F)"), Qt::Key_F7, 5008);
    mnu_EXECUTE = AddMenuItem(mnu_EDIT, "mnu_EXECUTE", QStringLiteral("SQLの実行(&E)"), Qt::Key_F8, 5014);
    mnu_PLAN = AddMenuItem(mnu_EDIT, "mnu_PLAN", QStringLiteral("実行プラン(&P)"), Qt::CTRL | Qt::Key_F9, 5007);
    mnu_REGSQL_READ = AddMenuItem(mnu_EDIT, "mnu_REGSQL_READ", QStringLiteral("登録SQLの読込"), Qt::Key_F10, 5013);
    mnu_MakePLANTABLE = AddMenuItem(mnu_EDIT, "mnu_MakePLANTABLE", QStringLiteral("PLAN_TABLE作成"), {}, 5005);
    mnu_DelPLANTABLE = AddMenuItem(mnu_EDIT, "mnu_DelPLANTABLE", QStringLiteral("PLAN_TABLE削除"), {}, 5006);
    // Until the window connects, its statement commands have no session to use.
    for (QAction *action : mnu_EDIT->actions())
        action->setEnabled(false);
    connect(mnu_FILEOUT, &QAction::triggered, this, &TfrmSQL::mnu_FILEOUTClick);
    connect(mnu_EXECUTE, &QAction::triggered, this, &TfrmSQL::mnu_EXECUTEClick);
    connect(mnu_PLAN, &QAction::triggered, this, &TfrmSQL::mnu_PLANClick);
    connect(mnu_REGSQL_READ, &QAction::triggered, this, &TfrmSQL::mnu_REGSQL_READClick);
    connect(mnu_MakePLANTABLE, &QAction::triggered, this, &TfrmSQL::mnu_MakePLANTABLEClick);
    connect(mnu_DelPLANTABLE, &QAction::triggered, this, &TfrmSQL::mnu_DelPLANTABLEClick);

    auto *windowMenu = AddMenu(MenuBar(), "mnu_WINDOWS", QStringLiteral("ウィンドウ(&W)"));
    AddArrangeItems(windowMenu);
    windowMenu->addSeparator();
    // Refreshing has no meaning in the worksheet; the item is always disabled.
    AddMenuItem(windowMenu, "Refresh1", QStringLiteral("最新の情報に更新(&R)"), Qt::Key_F5)->setEnabled(false);
    mnu_RIREKI_TABLE_VIEW = AddMenuItem(windowMenu, "mnu_RIREKI_TABLE_VIEW",
                                        QStringLiteral("履歴・TABLE/VIEW(&W)"), Qt::CTRL | Qt::Key_W);
    mnu_RIREKI_TABLE_VIEW->setCheckable(true);
    connect(mnu_RIREKI_TABLE_VIEW, &QAction::triggered, this, &TfrmSQL::mnu_RIREKI_TABLE_VIEWClick);

    AddHelpMenu(0);
}

void TfrmSQL::BuildPopups()
{
    mnu_GRID = new QMenu(this);
    mnu_GRID->setObjectName(QStringLiteral("mnu_GRID"));
    mnu_GRID_LOCK = AddMenuItem(mnu_GRID, "mnu_GRID_LOCK", QStringLiteral("列固定"));
    mnu_GRID_UNLOCK = AddMenuItem(mnu_GRID, "mnu_GRID_UNLOCK", QStringLiteral("固定解除"));
    mnu_GRID_Copy = AddMenuItem(mnu_GRID, "mnu_GRID_Copy", QStringLiteral("コピー(&C)..."),
                                Qt::CTRL | Qt::Key_C, 0,
                                QStringLiteral("コピー|選択部分をコピーしクリップボードに送る"));
    mnu_GRID_ALLSELECT = AddMenuItem(mnu_GRID, "mnu_GRID_ALLSELECT", QStringLiteral("全て選択"),
                                     Qt::CTRL | Qt::Key_A);
    // The shortcuts work while the grid has the focus, not in the statement editor.
    for (QAction *action : {mnu_GRID_Copy, mnu_GRID_ALLSELECT}) {
        action->setShortcutContext(Qt::WidgetShortcut);
        grdLOG->addAction(action);
    }
    connect(mnu_GRID_LOCK, &QAction::triggered, this, &TfrmSQL::mnu_GRID_LOCKClick);
    connect(mnu_GRID_UNLOCK, &QAction::triggered, this, &TfrmSQL::mnu_GRID_UNLOCKClick);
    connect(mnu_GRID_Copy, &QAction::triggered, this, &TfrmSQL::mnu_GRID_CopyClick);
    connect(mnu_GRID_ALLSELECT, &QAction::triggered, this, &TfrmSQL::mnu_GRID_ALLSELECTClick);

    mnu_TAB = new QMenu(this);
    mnu_TAB->setObjectName(QStringLiteral("mnu_TAB"));
    mnu_TAB_SELECT = AddMenuItem(mnu_TAB, "mnu_TAB_SELECT", QStringLiteral("データ"));
    mnu_TAB_DESC = AddMenuItem(mnu_TAB, "mnu_TAB_DESC", QStringLiteral("定義"));
    mnu_TAB_SELECT->setEnabled(false);
    mnu_TAB_DESC->setEnabled(false);
    connect(mnu_TAB_SELECT, &QAction::triggered, this, &TfrmSQL::mnu_TAB_SELECTClick);
    connect(mnu_TAB_DESC, &QAction::triggered, this, &TfrmSQL::mnu_TAB_DESCClick);
}

void TfrmSQL::ClearBeforeConnect()
{
    // Connecting again replaces the session a running command still uses.
    if (FBusy)
        throw Exception(QStringLiteral("SQLの実行中は接続できません"));
    ClearTableList();
}

void TfrmSQL::LoadAfterOpen()
{
    FillTableList();
}

void TfrmSQL::CompleteConnect()
{
    mnu_EDIT->menuAction()->setEnabled(true);
    for (QAction *action : mnu_EDIT->actions())
        action->setEnabled(true);
    mnu_TAB_SELECT->setEnabled(true);
    mnu_TAB_DESC->setEnabled(true);
    // Long engine calls let the window paint and answer Esc; the handler goes with the window.
    QPointer<TfrmSQL> self(this);
    Database()->SetProgressHandler([self] { return self ? self->WhileEngineWorks() : true; }, 50);
    // Every statement of the worksheet runs inside a transaction that only COMMIT or ROLLBACK
    // ends; the next one begins right after.
    Session()->DbBeginTrans();
    txtSQL->setFocus();
    Host()->FixChildLayout();
    Host()->ActivateChild(Tag());
}

void TfrmSQL::closeEvent(QCloseEvent *event)
{
    if (FBusy) {
        // The command on the stack still uses this window and its session: stop what can be
        // stopped and close once it has returned.
        FCloseRequested = true;
        if (Database())
            Database()->Cancel();
        event->ignore();
        return;
    }
    TChildForm::closeEvent(event);
}

bool TfrmSQL::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && panelSELSQL && panelSELSQL->isVisible() &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        btnCANCELClick();
        return true;
    }
    return TChildForm::eventFilter(watched, event);
}

QString TfrmSQL::StatusPanel(int index) const
{
    return index >= 0 && index < 4 ? FPanels[index]->text() : QString();
}

void TfrmSQL::SetStatus(int index, const QString &text)
{
    FPanels[index]->setText(text);
}

void TfrmSQL::ShowLogPage()
{
    pageDATA->setCurrentWidget(tabINFO);
}

void TfrmSQL::ShowDataPage()
{
    pageDATA->setCurrentWidget(tabDATA);
}

void TfrmSQL::SetLogText(const std::string &text)
{
    txtLOG->SetText(text);
}

void TfrmSQL::grdLOGDrawCell(QPainter &painter, int col, int row, const QRect &rect, unsigned state)
{
    if (col < 1 || row < 1)
        return;
    // A cell that is only selected keeps the selection look; the focused cell of a selection is
    // painted in its row colour.
    if ((state & gdSelected) && !(state & gdFocused))
        return;
    painter.fillRect(rect, row % 2 == 1 ? QColor(255, 255, 255) : QColor(250, 250, 100));
    painter.setPen(Qt::black);
    painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     cp932::ToUnicode(grdLOG->CellText(col, row)));
}
