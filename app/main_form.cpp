// The frame window.
#include "app/main_form.h"

#include "app/about_box.h"
#include "app/grid_filler.h"
#include "app/help_viewer.h"
#include "db/child_form.h"
#include "db/cursor_guard.h"
#include "db/escape_watch.h"
#include "db/form_helpers.h"
#include "db/login_bar.h"
#include "db/message_box.h"
#include "monitor/info_form.h"
#include "plsql/plsql_form.h"
#include "settings/form_search.h"
#include "settings/ini_save_props.h"
#include "sql/sql_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>


using formutil::AddMenu;
using formutil::AddMenuItem;

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Kestrim"));
    setWindowIcon(QIcon(QStringLiteral(":/kestrim/kestrim.png")));
    formutil::SetHelpContext(this, 1);
    resize(788, 450);
    move(197, 93);

    IniSave = new TIniSaveProps(this);
    IniSave->setObjectName(QStringLiteral("IniSave"));
    FStartArguments = QCoreApplication::arguments().mid(1);

    auto *central = new QWidget(this);
    tabPAGE = new QTabBar(central);
    tabPAGE->setObjectName(QStringLiteral("tabPAGE"));
    tabPAGE->setFont(formutil::WindowFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
    tabPAGE->setExpanding(false);
    tabPAGE->setDrawBase(true);
    tabPAGE->setFixedHeight(20);
    formutil::SetHelpContext(tabPAGE, 3005);
    ClientArea = new QMdiArea(central);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabPAGE);
    layout->addWidget(ClientArea, 1);
    setCentralWidget(central);

    connect(tabPAGE, &QTabBar::currentChanged, this, &TMainForm::tabPAGEChange);
    connect(ClientArea, &QMdiArea::subWindowActivated, this, &TMainForm::ClientAreaSubWindowActivated);
    // The screen's active window changed (another child, a dialog, another program).
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TMainForm::PostFixMenuMessage);

    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, &TMainForm::ShowContextHelp);

    BuildMenus();
    BuildFileDialogs();
    FAboutBox = new TAboutBox(this);
    // The search dialog lives below the frame's layer; its Help button asks the frame.
    TFormSearch::HelpHandler = [this](int context) { HelpViewer()->ShowTopic(context); };
}

TMainForm::~TMainForm()
{
    // The frame's widgets still report activation and tab changes while Qt takes them down;
    // none of it may reach the half-destroyed frame.
    FClosing = true;
    TFormSearch::HelpHandler = nullptr;
    disconnect(ClientArea, nullptr, this, nullptr);
    disconnect(tabPAGE, nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
}

void TMainForm::BuildMenus()
{
    auto *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto *fileMenu = AddMenu(bar, "File1", QStringLiteral("ファイル(&F)"), 3100,
                             QStringLiteral("ファイル関連の機能"));
    auto *newMenu = AddMenu(fileMenu, "FileNewItem", QStringLiteral("新規作成(&N)"), 3100,
                            QStringLiteral("新規|新規ファイルの作成"));
    // The frame's own items open an empty, unconnected window.
    connect(AddMenuItem(newMenu, "PLSQL1", QStringLiteral("PL/SQL"), Qt::CTRL | Qt::Key_F2, 4001),
            &QAction::triggered, this, [this] { FPendingLogin = {}; OpenPLSQLWindow(); });
    connect(AddMenuItem(newMenu, "SQL1", QStringLiteral("SQL"), Qt::CTRL | Qt::Key_F3, 5001),
            &QAction::triggered, this, [this] { FPendingLogin = {}; OpenSQLWindow(); });
    connect(AddMenuItem(newMenu, "INFO1", QStringLiteral("INFO"), Qt::CTRL | Qt::Key_F5, 6001),
            &QAction::triggered, this, [this] { FPendingLogin = {}; OpenINFOWindow(); });
    connect(AddMenuItem(fileMenu, "mnu_END", QStringLiteral("終了(&X)"), Qt::CTRL | Qt::Key_Q, 2003,
                        QStringLiteral("終了|アプリケーションの終了")),
            &QAction::triggered, this, &TMainForm::CloseFrame);

    auto *helpMenu = AddMenu(bar, "Help1", QStringLiteral("ヘルプ(&H)"));
    connect(AddMenuItem(helpMenu, "mnu_VERSION", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)")),
            &QAction::triggered, this, &TMainForm::ShowAbout);
    connect(AddMenuItem(helpMenu, "HelpIndex1", QStringLiteral("目次とキーワード(&H)")),
            &QAction::triggered, this, &TMainForm::ShowHelpContents);
    FFrameMenus = bar->actions();
}

void TMainForm::BuildFileDialogs()
{
    opnFILE = new QFileDialog(this);
    opnFILE->setObjectName(QStringLiteral("opnFILE"));
    opnFILE->setNameFilter(formutil::QtFileFilter(QStringLiteral("実行ファイル(*.EXE)|*.EXE|全て(*.*)|*.*")));
    opnFILE->setFileMode(QFileDialog::ExistingFile);
    opnFILE->setAcceptMode(QFileDialog::AcceptOpen);
    savFILE = new QFileDialog(this);
    savFILE->setObjectName(QStringLiteral("savFILE"));
    savFILE->setNameFilter(formutil::QtFileFilter(QStringLiteral("CSVファイル(*.CSV)|*.CSV|全て(*.*)|*.*")));
    savFILE->setFileMode(QFileDialog::AnyFile);
    savFILE->setAcceptMode(QFileDialog::AcceptSave);
    for (QFileDialog *dialog : {opnFILE, savFILE})
        dialog->setOption(QFileDialog::DontUseNativeDialog);
    // The worksheet asks its own overwrite question after the dialog has closed.
    savFILE->setOption(QFileDialog::DontConfirmOverwrite);
}

QString TMainForm::ExecuteOpenDialog()
{
    if (opnFILE->exec() != QDialog::Accepted)
        return {};
    return opnFILE->selectedFiles().value(0);
}

QString TMainForm::ExecuteSaveDialog(const QString &proposedName)
{
    savFILE->selectFile(proposedName);
    const bool accepted = savFILE->exec() == QDialog::Accepted;
    const QString fileName = accepted ? savFILE->selectedFiles().value(0) : QString();
    // No name stays behind for the next use, whichever way the dialog closed.
    savFILE->selectFile(QString());
    return fileName;
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    // The first window opens once the frame is on the screen.
    QTimer::singleShot(0, this, &TMainForm::FormShow);
}

void TMainForm::FormShow()
{
    if (!FStartArguments.isEmpty()) {
        if (const auto login = ParseLoginArgument(FStartArguments.first()))
            FPendingLogin = *login;
    }
    OpenChild(ReadStartForm(*IniSave));
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    FClosing = true;
    ClientArea->closeAllSubWindows();
    if (FHelpViewer)
        FHelpViewer->close();
    event->accept();
}

void TMainForm::SetIniFileName(const QString &fileName)
{
    IniSave->SetFileName(fileName);
}

TCustomSaveProps &TMainForm::ProgramIni()
{
    return *IniSave;
}

void TMainForm::CloseFrame()
{
    close();
}

void TMainForm::OpenPLSQLWindow()
{
    OpenChild(TChildKind::PLSQL);
}

void TMainForm::OpenSQLWindow()
{
    OpenChild(TChildKind::SQL);
}

void TMainForm::OpenINFOWindow()
{
    OpenChild(TChildKind::INFO);
}

TChildForm *TMainForm::OpenChild(TChildKind kind)
{
    if (FChildTags.Full()) {
        msgbox::ShowError(this, QStringLiteral("同時に開けるウィンドウは %1 個までです。\n"
                                               "ほかのウィンドウを閉じてから開いてください。")
                                    .arg(TChildRegistry::kSlotCount));
        return nullptr;
    }
    THourglassCursor hourglass;
    TChildForm *child = nullptr;
    QString prefix;
    switch (kind) {
    case TChildKind::PLSQL:
        child = new TfrmPLSQL(this);
        prefix = QStringLiteral("P 接続");
        break;
    case TChildKind::SQL:
        child = new TfrmSQL(this);
        prefix = QStringLiteral("S 接続");
        break;
    case TChildKind::INFO:
        child = new TfrmINFO(this);
        prefix = QStringLiteral("I 接続");
        break;
    }
    auto *subWindow = ClientArea->addSubWindow(child);
    subWindow->setAttribute(Qt::WA_DeleteOnClose);
    subWindow->setWindowIcon(windowIcon());
    // The window's own File menu carries close (Ctrl+F4); the sub-window's system menu would
    // claim Ctrl+F4 and Ctrl+W as well, making one ambiguous and stealing the other from the
    // worksheet's history panel item.
    if (QMenu *systemMenu = subWindow->systemMenu()) {
        for (QAction *action : systemMenu->actions())
            action->setShortcuts({});
    }
    // Once the window is freed its menus have left the bar; the frame's or the next child's
    // take their place.
    connect(subWindow, &QObject::destroyed, this, &TMainForm::PostFixMenuMessage);

    ++FChildCounter;
    child->SetCaption(prefix + QString::number(FChildCounter));
    const QString caption = child->Caption();
    child->SetTag(FChildCounter);
    SelectTab(tabPAGE->addTab(caption));
    FChildTags.Add(FChildCounter);
    subWindow->showMaximized();

    QPointer<TChildForm> guard(child);
    if (!FPendingLogin.User.isEmpty()) {
        child->PanelTOP->SetLogin(FPendingLogin);
        child->Connect();
    } else {
        child->txtUSR->setFocus();
    }
    return guard;
}

TChildForm *TMainForm::ActiveChild() const
{
    auto *subWindow = ClientArea->currentSubWindow();
    return subWindow ? qobject_cast<TChildForm *>(subWindow->widget()) : nullptr;
}

TChildForm *TMainForm::FindChild(int tag) const
{
    for (auto *subWindow : ClientArea->subWindowList()) {
        auto *child = qobject_cast<TChildForm *>(subWindow->widget());
        if (child && child->Tag() == tag)
            return child;
    }
    return nullptr;
}

void TMainForm::SelectTab(int index)
{
    const bool wasSelecting = FSelectingTab;
    FSelectingTab = true;
    tabPAGE->setCurrentIndex(index);
    FSelectingTab = wasSelecting;
}

void TMainForm::ActivateChild(int tag)
{
    PostFixMenuMessage();
    // A child not yet numbered (tag 0) has no slot; only the layout is fixed then.
    const int index = FChildTags.IndexOf(tag);
    if (index >= 0)
        SelectTab(index);
    FixChildLayout();
}

void TMainForm::SetChildCaption(int tag, const QString &caption)
{
    const int index = FChildTags.IndexOf(tag);
    if (index >= 0)
        tabPAGE->setTabText(index, caption);
}

void TMainForm::RemoveChild(int tag)
{
    const int index = FChildTags.Remove(tag);
    if (index < 0)
        return;
    const bool wasSelecting = FSelectingTab;
    FSelectingTab = true;
    tabPAGE->removeTab(index);
    FSelectingTab = wasSelecting;
}

void TMainForm::tabPAGEChange(int index)
{
    if (FSelectingTab || index < 0)
        return;
    const int tag = FChildTags.TagAt(index);
    const auto subWindows = ClientArea->subWindowList();
    for (auto it = subWindows.rbegin(); it != subWindows.rend(); ++it) {
        auto *child = qobject_cast<TChildForm *>((*it)->widget());
        if (child && child->Tag() == tag) {
            ClientArea->setActiveSubWindow(*it);
            FixChildLayout();
            return;
        }
    }
}

void TMainForm::ClientAreaSubWindowActivated(QMdiSubWindow *subWindow)
{
    if (FClosing)
        return;
    // The area reports no active window also when the whole program loses the focus; the
    // current child stays in front then and keeps its menus.
    if (subWindow) {
        if (auto *child = qobject_cast<TChildForm *>(subWindow->widget()))
            child->FormActivate();
    }
    MergeMenus();
}

void TMainForm::PostFixMenuMessage()
{
    if (FClosing || QCoreApplication::closingDown())
        return;
    QMetaObject::invokeMethod(this, &TMainForm::FixMenuMessage, Qt::QueuedConnection);
}

void TMainForm::FixMenuMessage()
{
    if (FClosing)
        return;
    MergeMenus();
    if (TChildForm *child = ActiveChild(); child && child->isActiveWindow())
        FixChildLayout();
}

void TMainForm::MergeMenus()
{
    TChildForm *child = ActiveChild();
    const QList<QAction *> wanted = child ? child->MenuBar()->actions() : FFrameMenus;
    QMenuBar *bar = menuBar();
    if (bar->actions() == wanted)
        return;
    for (QAction *action : bar->actions())
        bar->removeAction(action);
    bar->addActions(wanted);
}

void TMainForm::FixChildLayout()
{
    // After the menu bar changed, the maximised child lays out its panels, splitters and grids
    // again for the client size it now has.
    QMdiSubWindow *subWindow = ClientArea->currentSubWindow();
    if (!subWindow || !subWindow->isMaximized() || !subWindow->widget())
        return;
    if (QLayout *layout = subWindow->widget()->layout()) {
        layout->invalidate();
        layout->activate();
    }
}

void TMainForm::ClearGrid(TStringGrid &grid)
{
    app::ClearGrid(grid);
}

int TMainForm::FillGridFromDynaset(std::shared_ptr<db::OraDynaset> dynaset, TStringGrid &grid)
{
    // Only an Esc pressed from now on offers to stop the fill.
    TEscapeWatch::Pressed();
    const int records = app::FillGridFromDynaset(std::move(dynaset), grid, [this](int) {
        return TEscapeWatch::Pressed() && msgbox::Confirm(this, QStringLiteral("中断しますか？"));
    });
    FixChildLayout();
    return records;
}

void TMainForm::AutoSizeGridColumns(TStringGrid &grid)
{
    app::AutoSizeGridColumns(grid);
    FixChildLayout();
}

void TMainForm::ShowAbout()
{
    FAboutBox->exec();
}

THelpViewer *TMainForm::HelpViewer()
{
    if (!FHelpViewer)
        FHelpViewer = new THelpViewer(this);
    return FHelpViewer;
}

void TMainForm::ShowHelpContents()
{
    HelpViewer()->SetHelpFile(THelpViewer::HelpFileName());
    HelpViewer()->ShowContents();
}

void TMainForm::ShowContextHelp()
{
    int context = 0;
    if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
        if (QAction *action = menu->activeAction())
            context = formutil::HelpContext(action);
        if (!context)
            context = formutil::HelpContext(menu);
    }
    if (!context)
        context = formutil::HelpContextOfWidget(QApplication::focusWidget());
    if (!context)
        context = formutil::HelpContext(this);
    HelpViewer()->ShowTopic(context);
}

void TMainForm::ArrangeChildren(TArrangeCommand command)
{
    switch (command) {
    case TArrangeCommand::Cascade:
        ClientArea->cascadeSubWindows();
        break;
    case TArrangeCommand::TileHorizontal:
        TileChildren(false);
        break;
    case TArrangeCommand::TileVertical:
        TileChildren(true);
        break;
    case TArrangeCommand::MinimizeAll:
        for (auto *subWindow : ClientArea->subWindowList())
            subWindow->showMinimized();
        break;
    case TArrangeCommand::ArrangeIcons:
        ArrangeMinimizedChildren();
        break;
    }
}

// Tiling horizontally stacks the windows one above the other, each as wide as the area;
// tiling vertically puts them side by side, each as high as the area. Minimised windows stay
// minimised.
void TMainForm::TileChildren(bool sideBySide)
{
    QList<QMdiSubWindow *> windows;
    for (auto *subWindow : ClientArea->subWindowList()) {
        if (!subWindow->isMinimized())
            windows.append(subWindow);
    }
    if (windows.isEmpty())
        return;
    const QRect area = ClientArea->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow *subWindow = windows[i];
        subWindow->showNormal();
        if (sideBySide) {
            const int width = area.width() / count;
            subWindow->setGeometry(i * width, 0, width, area.height());
        } else {
            const int height = area.height() / count;
            subWindow->setGeometry(0, i * height, area.width(), height);
        }
    }
}

void TMainForm::ArrangeMinimizedChildren()
{
    const QRect area = ClientArea->viewport()->rect();
    int x = 0;
    int y = area.bottom();
    for (auto *subWindow : ClientArea->subWindowList()) {
        if (!subWindow->isMinimized())
            continue;
        const QSize size = subWindow->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        subWindow->move(x, y - size.height() + 1);
        x += size.width();
    }
}
