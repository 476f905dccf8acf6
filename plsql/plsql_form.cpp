// The PL/SQL workbench window.
#include "plsql/plsql_form.h"

#include "db/form_helpers.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using formutil::AddMenu;
using formutil::AddMenuItem;

TfrmPLSQL::TfrmPLSQL(TChildHost *host, QWidget *parent)
    : TChildForm(host, parent)
{
    setObjectName(QStringLiteral("frmPLSQL"));
    formutil::SetHelpContext(this, 4001);
    MenuBar()->setObjectName(QStringLiteral("mnu_CHILD"));
    BuildMenus();
}

void TfrmPLSQL::BuildMenus()
{
    auto *fileMenu = AddFileMenu(3100);
    AddMenuItem(fileMenu, "mnu_NewLoad", QStringLiteral("ファイル読込"), Qt::CTRL | Qt::Key_O)
        ->setVisible(false);
    AddCloseItems(fileMenu);

    // The edit commands arrive with the source browser, the compiler, execution and the
    // external editor; until then they stay disabled, and the unused ones hidden.
    auto *editMenu = AddMenu(MenuBar(), "mnu_EDIT", QStringLiteral("編集(&E)"), 4003,
                             QStringLiteral("編集関連の機能"));
    AddMenuItem(editMenu, "mnu_FIND", QStringLiteral("検索(&F)"), Qt::CTRL | Qt::Key_F)->setEnabled(false);
    AddMenuItem(editMenu, "mnu_REPLACE", QStringLiteral("置換(&R)"), Qt::CTRL | Qt::Key_R)->setVisible(false);
    AddMenuItem(editMenu, "mnu_REFIND_D", QStringLiteral("下方向再検索"), Qt::Key_F3)->setEnabled(false);
    AddMenuItem(editMenu, "mnu_REFIND_U", QStringLiteral("上方向再検索"), Qt::SHIFT | Qt::Key_F3)
        ->setEnabled(false);
    editMenu->addSeparator();
    AddMenuItem(editMenu, "mnu_COMPILE", QStringLiteral("コンパイル(&C)"), Qt::CTRL | Qt::Key_F7)
        ->setEnabled(false);
    AddMenuItem(editMenu, "mnu_EXECUTE", QStringLiteral("実行(&E)"), Qt::CTRL | Qt::Key_F8, 4008)
        ->setEnabled(false);
    AddMenuItem(editMenu, "mnu_UPDATE", QStringLiteral("更新(&U)"), Qt::CTRL | Qt::Key_F9)->setVisible(false);
    editMenu->addSeparator();
    AddMenuItem(editMenu, "mnu_OUTEDIT", QStringLiteral("外部エディタ起動"), Qt::CTRL | Qt::Key_E, 4013)
        ->setEnabled(false);

    auto *windowMenu = AddMenu(MenuBar(), "mnu_WINDOWS", QStringLiteral("ウィンドウ(&W)"), 3100);
    AddArrangeItems(windowMenu);
    windowMenu->addSeparator();
    AddMenuItem(windowMenu, "mnu_Refresh", QStringLiteral("最新の情報に更新(&R)"), Qt::Key_F5)
        ->setEnabled(false);

    auto *settingsMenu = AddMenu(MenuBar(), "N4", QStringLiteral("設定(&S)"), 4010);
    AddMenuItem(settingsMenu, "mnu_SET_EDIT", QStringLiteral("内部エディタの設定"), Qt::Key_F12, 4012)
        ->setEnabled(false);
    AddMenuItem(settingsMenu, "mnu_EDITER", QStringLiteral("外部エディタの設定"), Qt::Key_F11, 4014)
        ->setEnabled(false);

    AddHelpMenu(7001);
}

void TfrmPLSQL::ClearBeforeConnect()
{
    ClearObjectTree();
}

void TfrmPLSQL::LoadAfterOpen()
{
    FillObjectTree();
}
