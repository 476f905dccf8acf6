// The parts every child window shares: login bar, Connect, tag, frame callbacks, common menus.
#include "db/child_form.h"

#include "classlib/cp932.h"
#include "db/cursor_guard.h"
#include "db/form_helpers.h"
#include "db/login_bar.h"
#include "db/message_box.h"
#include "db/ora_database.h"
#include "db/ora_session.h"
#include "db/session_factory.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QVBoxLayout>

#include <exception>

TChildForm::TChildForm(TChildHost *host, QWidget *parent)
    : QWidget(parent)
    , FHost(host)
{
    PanelTOP = new TLoginBar(this);
    txtUSR = PanelTOP->txtUSR;
    txtPWD = PanelTOP->txtPWD;
    txtDSN = PanelTOP->txtDSN;
    connect(PanelTOP, &TLoginBar::ConnectRequested, this, &TChildForm::Connect);

    FContentArea = new QWidget(this);
    FContentArea->setObjectName(QStringLiteral("ContentArea"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PanelTOP);
    layout->addWidget(FContentArea, 1);

    FMenuBar = new QMenuBar(this);
    FMenuBar->hide();
    // The bar is never laid out in this window; its menus appear in the frame's bar.
    FMenuBar->setNativeMenuBar(false);
}

TChildForm::~TChildForm() = default;

void TChildForm::Connect()
{
    // Whatever runs while messages are processed or an error box is open may close this window;
    // the guard tells whether it still exists afterwards.
    QPointer<TChildForm> self(this);
    // Enter pressed again while pending messages run must not start a second Connect inside
    // the first.
    if (FConnecting)
        return;
    FConnecting = true;
    struct TConnectingReset {
        QPointer<TChildForm> &Form;
        ~TConnectingReset()
        {
            if (Form)
                Form->FConnecting = false;
        }
    } connectingReset{self};
    TDbWaitCursor waitCursor;
    try {
        ClearBeforeConnect();
        const TLogin login = PanelTOP->Login();
        auto session = db::CreateSessionObject(db::kSessionProgId);
        auto database = session->OpenDatabase(cp932::FromUnicode(login.Host),
                                              cp932::FromUnicode(login.User + QLatin1Char('/') +
                                                                 login.Password),
                                              0);
        // The previous session stays until the new database has opened, so that a failed
        // reconnection leaves the window working with its old session.
        FSession = std::move(session);
        FDatabase = std::move(database);
        LoadAfterOpen();
        SetCaption(KindLetter() + QLatin1Char(' ') + login.User + QLatin1Char('@') + login.Host);
        FHost->SetChildCaption(FTag, Caption());
        CompleteConnect();
        if (self && ProcessMessagesAfterConnect())
            QCoreApplication::processEvents();
    } catch (const std::exception &error) {
        msgbox::ShowError(self, QString::fromUtf8(error.what()));
        if (!self)
            return;
        if (FixLayoutAfterFailedConnect())
            FHost->FixChildLayout();
        QCoreApplication::processEvents();
    }
}

void TChildForm::FormActivate()
{
    FHost->ActivateChild(FTag);
}

void TChildForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TChildForm::FormClose()
{
    if (FClosed)
        return;
    FClosed = true;
    FHost->RemoveChild(FTag);
}

void TChildForm::OpenWithMyLogin(void (TChildHost::*open)())
{
    FHost->SetPendingLogin(PanelTOP->Login());
    (FHost->*open)();
}

void TChildForm::MNU_CLOSEClick()
{
    // The frame wraps the window in a sub-window, which closes this widget first and then frees
    // itself with it.
    if (auto *subWindow = qobject_cast<QMdiSubWindow *>(parentWidget()))
        subWindow->close();
    else
        close();
}

QMenu *TChildForm::AddFileMenu(int newMenuHelpContext)
{
    using formutil::AddMenuItem;
    auto *fileMenu = formutil::AddMenu(FMenuBar, "mnu_FILE", QStringLiteral("ファイル(&F)"), 3100,
                                       QStringLiteral("ファイル関連の機能"));
    auto *newMenu = formutil::AddMenu(fileMenu, "mnu_NEW", QStringLiteral("新規接続(&N)"),
                                      newMenuHelpContext, QStringLiteral("新規|新規接続"));
    auto *plsql = AddMenuItem(newMenu, "PLSQL1", QStringLiteral("PL/SQL"), Qt::CTRL | Qt::Key_F2,
                              4001, QStringLiteral("新しくPL/SQLの画面を開く"));
    auto *sql = AddMenuItem(newMenu, "SQL1", QStringLiteral("SQL"), Qt::CTRL | Qt::Key_F3, 5001,
                            QStringLiteral("新しくSQLの画面を開く"));
    auto *info = AddMenuItem(newMenu, "INFO1", QStringLiteral("INFO"), Qt::CTRL | Qt::Key_F5, 6001);
    connect(plsql, &QAction::triggered, this, [this] { OpenWithMyLogin(&TChildHost::OpenPLSQLWindow); });
    connect(sql, &QAction::triggered, this, [this] { OpenWithMyLogin(&TChildHost::OpenSQLWindow); });
    connect(info, &QAction::triggered, this, [this] { OpenWithMyLogin(&TChildHost::OpenINFOWindow); });
    return fileMenu;
}

void TChildForm::AddCloseItems(QMenu *fileMenu)
{
    auto *close = formutil::AddMenuItem(fileMenu, "MNU_CLOSE", QStringLiteral("閉じる(&C)"),
                                        Qt::CTRL | Qt::Key_F4, 3008);
    auto *end = formutil::AddMenuItem(fileMenu, "mnu_END", QStringLiteral("終了(&X)"),
                                      Qt::CTRL | Qt::Key_Q, 2003,
                                      QStringLiteral("終了|アプリケーションの終了"));
    connect(close, &QAction::triggered, this, &TChildForm::MNU_CLOSEClick);
    connect(end, &QAction::triggered, this, [this] { FHost->CloseFrame(); });
}

void TChildForm::AddArrangeItems(QMenu *windowMenu)
{
    struct Item {
        const char *Name;
        const char *Caption;
        TArrangeCommand Command;
    };
    static const Item items[] = {
        {"WindowCascade1", "重ねて表示(&C)", TArrangeCommand::Cascade},
        {"WindowTileHorizontal1", "水平に並べて表示(&H)", TArrangeCommand::TileHorizontal},
        {"WindowTileVertical1", "垂直に並べて表示(&V)", TArrangeCommand::TileVertical},
        {"WindowMinimizeAll1", "すべてを最小化(&M)", TArrangeCommand::MinimizeAll},
        {"WindowArrange1", "アイコンの整列(&A)", TArrangeCommand::ArrangeIcons},
    };
    for (const auto &item : items) {
        auto *action = formutil::AddMenuItem(windowMenu, item.Name, QString::fromUtf8(item.Caption));
        const auto command = item.Command;
        connect(action, &QAction::triggered, this, [this, command] { FHost->ArrangeChildren(command); });
    }
}

QMenu *TChildForm::AddHelpMenu(int versionHelpContext)
{
    auto *helpMenu = formutil::AddMenu(FMenuBar, "mnu_Help", QStringLiteral("ヘルプ(&H)"));
    auto *version = formutil::AddMenuItem(helpMenu, "mnu_VERSION", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"),
                                          {}, versionHelpContext);
    auto *contents = formutil::AddMenuItem(helpMenu, "HelpIndex1",
                                           QStringLiteral("目次とキーワード(&H)"));
    connect(version, &QAction::triggered, this, [this] { FHost->ShowAbout(); });
    connect(contents, &QAction::triggered, this, [this] { FHost->ShowHelpContents(); });
    return helpMenu;
}
