// The instance monitor window.
#include "monitor/info_form.h"

#include "db/form_helpers.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using formutil::AddMenu;
using formutil::AddMenuItem;

TfrmINFO::TfrmINFO(TChildHost *host, QWidget *parent)
    : TChildForm(host, parent)
{
    setObjectName(QStringLiteral("frmINFO"));
    formutil::SetHelpContext(this, 3000);
    MenuBar()->setObjectName(QStringLiteral("mnu_SQL"));
    BuildMenus();
}

void TfrmINFO::BuildMenus()
{
    AddCloseItems(AddFileMenu(0));

    auto *windowMenu = AddMenu(MenuBar(), "mnu_WINDOWS", QStringLiteral("ウィンドウ(&W)"), 3100);
    AddArrangeItems(windowMenu);
    windowMenu->addSeparator();
    AddMenuItem(windowMenu, "Refresh1", QStringLiteral("最新の情報に更新(&R)"), Qt::Key_F5)
        ->setEnabled(false);

    AddHelpMenu(7001);
}

void TfrmINFO::CompleteConnect()
{
    FillMonitorTree();
    ShowTuningAdvice();
    ContentArea()->setFocus();
    Host()->FixChildLayout();
}
