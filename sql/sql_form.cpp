// The SQL worksheet window.
#include "sql/sql_form.h"

#include "db/form_helpers.h"
#include "db/ora_session.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using formutil::AddMenu;
using formutil::AddMenuItem;

TfrmSQL::TfrmSQL(TChildHost *host, QWidget *parent)
    : TChildForm(host, parent)
{
    setObjectName(QStringLiteral("frmSQL"));
    formutil::SetHelpContext(this, 3000);
    MenuBar()->setObjectName(QStringLiteral("MainMenu1"));
    BuildMenus();
}

void TfrmSQL::BuildMenus()
{
    auto *fileMenu = AddFileMenu(0);
    AddCloseItems(fileMenu);

    // The edit menu opens once the worksheet is connected; its commands arrive with the
    // statement runner, the plan, registered statements and the export.
    mnu_EDIT = AddMenu(MenuBar(), "mnu_EDIT", QStringLiteral("編集(&E)"), 0,
                       QStringLiteral("編集関連の機能"));
    mnu_EDIT->menuAction()->setEnabled(false);
    for (auto *item : {AddMenuItem(mnu_EDIT, "mnu_FILEOUT", QStringLiteral("ファイルへ出力(&F)"),
                                   Qt::Key_F7, 5008),
                       AddMenuItem(mnu_EDIT, "mnu_EXECUTE", QStringLiteral("SQLの実行(&E)"),
                                   Qt::Key_F8, 5014),
                       AddMenuItem(mnu_EDIT, "mnu_PLAN", QStringLiteral("実行プラン(&P)"),
                                   Qt::CTRL | Qt::Key_F9, 5007),
                       AddMenuItem(mnu_EDIT, "mnu_REGSQL_READ", QStringLiteral("登録SQLの読込"),
                                   Qt::Key_F10, 5013),
                       AddMenuItem(mnu_EDIT, "mnu_MakePLANTABLE", QStringLiteral("PLAN_TABLE作成"),
                                   {}, 5005),
                       AddMenuItem(mnu_EDIT, "mnu_DelPLANTABLE", QStringLiteral("PLAN_TABLE削除"),
                                   {}, 5006)})
        item->setEnabled(false);

    auto *windowMenu = AddMenu(MenuBar(), "mnu_WINDOWS", QStringLiteral("ウィンドウ(&W)"));
    AddArrangeItems(windowMenu);
    windowMenu->addSeparator();
    // Refreshing has no meaning in the worksheet; the item is always disabled.
    AddMenuItem(windowMenu, "Refresh1", QStringLiteral("最新の情報に更新(&R)"), Qt::Key_F5)
        ->setEnabled(false);
    AddMenuItem(windowMenu, "mnu_RIREKI_TABLE_VIEW", QStringLiteral("履歴・TABLE/VIEW(&W)"),
                Qt::CTRL | Qt::Key_W)
        ->setEnabled(false);

    AddHelpMenu(0);
}

void TfrmSQL::ClearBeforeConnect()
{
    ClearTableList();
}

void TfrmSQL::LoadAfterOpen()
{
    FillTableList();
}

void TfrmSQL::CompleteConnect()
{
    mnu_EDIT->menuAction()->setEnabled(true);
    // Every statement of the worksheet runs inside a transaction that only COMMIT or ROLLBACK
    // ends; the next one begins right after.
    Session()->DbBeginTrans();
    ContentArea()->setFocus();
    Host()->FixChildLayout();
    Host()->ActivateChild(Tag());
}
