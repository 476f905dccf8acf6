// What the three kinds of child window (SQL worksheet, PL/SQL workbench, instance monitor) have
// in common: the login bar and Connect with its shared steps and failure handling, the tag the
// frame numbers the window with, the callbacks into the frame on activation and close, and the
// menu items every child carries (File > New passing the login on, close, end, the Window
// arrangement commands, version and help).
//
// Each kind supplies its caption letter, its menu bar and the kind-specific steps of Connect
// through the virtual hooks below.
#pragma once

#include "db/child_host.h"

#include <QWidget>

#include <memory>

class QLineEdit;
class QMenu;
class QMenuBar;
class TLoginBar;

namespace db {
class OraDatabase;
class OraSession;
} // namespace db

class TChildForm : public QWidget {
    Q_OBJECT
public:
    TChildForm(TChildHost *host, QWidget *parent = nullptr);
    ~TChildForm() override;

    TChildHost *Host() const { return FHost; }

    // The number the frame identifies the window by; 0 until the frame has given it one.
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &caption) { setWindowTitle(caption); }

    // "S", "P" or "I": the first letter of the window's caption once connected.
    virtual QString KindLetter() const = 0;

    // The window's own menu bar; never shown itself: the frame shows its menus while this window
    // is the active one.
    QMenuBar *MenuBar() const { return FMenuBar; }

    TLoginBar *PanelTOP;
    QLineEdit *txtUSR;
    QLineEdit *txtPWD;
    QLineEdit *txtDSN;

    // Opens the window's own session from the three login fields. Failures are reported in an
    // error box; the window then keeps its previous session, caption and menus.
    void Connect();

    bool Connected() const { return FDatabase != nullptr; }
    db::OraSession *Session() const { return FSession.get(); }
    db::OraDatabase *Database() const { return FDatabase.get(); }
    // Shared references, for a command that must keep both alive while it lets messages run.
    std::shared_ptr<db::OraSession> SessionRef() const { return FSession; }
    std::shared_ptr<db::OraDatabase> DatabaseRef() const { return FDatabase; }

    // The frame calls this when the window becomes the active child.
    void FormActivate();

protected:
    // Kind-specific steps of Connect, in the order they run:
    // before the session is created (emptying the lists the last session filled) ...
    virtual void ClearBeforeConnect() {}
    // ... right after the database opened (loading the lists of the new session) ...
    virtual void LoadAfterOpen() {}
    // ... after the new caption went to the frame (enabling menus, focus, layout).
    virtual void CompleteConnect() {}
    // Whether a failed Connect lets the frame lay the window out again (worksheet, monitor).
    virtual bool FixLayoutAfterFailedConnect() const { return false; }
    // Whether a successful Connect lets pending messages run at its end (monitor, workbench).
    virtual bool ProcessMessagesAfterConnect() const { return false; }

    // The area below the login bar that holds the window's content.
    QWidget *ContentArea() const { return FContentArea; }

    // Menu building blocks shared by the three kinds.
    // mnu_FILE with the submenu mnu_NEW (PLSQL1, SQL1, INFO1), ready for more items.
    QMenu *AddFileMenu(int newMenuHelpContext);
    // MNU_CLOSE and mnu_END at the end of the File menu.
    void AddCloseItems(QMenu *fileMenu);
    // The five window arrangement commands.
    void AddArrangeItems(QMenu *windowMenu);
    // mnu_Help with mnu_VERSION and HelpIndex1.
    QMenu *AddHelpMenu(int versionHelpContext);

    void closeEvent(QCloseEvent *event) override;

private:
    void FormClose();
    // File > New: hands this window's login to the frame, then opens a window of one kind.
    void OpenWithMyLogin(void (TChildHost::*open)());
    void MNU_CLOSEClick();

    TChildHost *FHost;
    int FTag = 0;
    bool FClosed = false;
    bool FConnecting = false;
    QMenuBar *FMenuBar;
    QWidget *FContentArea;
    std::shared_ptr<db::OraSession> FSession;
    std::shared_ptr<db::OraDatabase> FDatabase;
};
