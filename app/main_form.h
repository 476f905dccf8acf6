// The frame window: a tab strip over the area that holds the child windows (SQL worksheets,
// PL/SQL workbenches, instance monitors), the registry that ties each child to its tab, the
// pending login handed to the next child, the first child opened at start, and the help, About
// and window arrangement commands. While a child is active its menus take the frame's place in
// the menu bar.
#pragma once

#include "app/child_registry.h"
#include "app/start_options.h"
#include "db/child_host.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QAction;
class QFileDialog;
class QMdiArea;
class QMdiSubWindow;
class QTabBar;
class TAboutBox;
class TChildForm;
class THelpViewer;
class TIniSaveProps;

class TMainForm : public QMainWindow, public TChildHost {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // What start-up reads; by default the program's own arguments and ini file. Tests set them
    // before the frame is first shown.
    void SetStartArguments(const QStringList &arguments) { FStartArguments = arguments; }
    void SetIniFileName(const QString &fileName);
    // The program's ini file, shared by every window: beside the program, with its base name and
    // the extension ".ini".
    TIniSaveProps *IniSave;

    QTabBar *tabPAGE;
    QMdiArea *ClientArea;
    QFileDialog *opnFILE;
    QFileDialog *savFILE;

    int ChildCounter() const { return FChildCounter; }
    const TChildRegistry &ChildTags() const { return FChildTags; }
    // The child window shown in front, or none.
    TChildForm *ActiveChild() const;
    // The open child with tag, or none.
    TChildForm *FindChild(int tag) const;

    TAboutBox *AboutBox() const { return FAboutBox; }
    THelpViewer *HelpViewer();

    // TChildHost
    void OpenPLSQLWindow() override;
    void OpenSQLWindow() override;
    void OpenINFOWindow() override;
    void ActivateChild(int tag) override;
    void SetChildCaption(int tag, const QString &caption) override;
    void RemoveChild(int tag) override;
    void FixChildLayout() override;
    void SetPendingLogin(const TLogin &login) override { FPendingLogin = login; }
    TLogin PendingLogin() const override { return FPendingLogin; }
    void ShowAbout() override;
    void ShowHelpContents() override;
    void CloseFrame() override;
    void ArrangeChildren(TArrangeCommand command) override;
    void ClearGrid(TStringGrid &grid) override;
    int FillGridFromDynaset(std::shared_ptr<db::OraDynaset> dynaset, TStringGrid &grid) override;
    void AutoSizeGridColumns(TStringGrid &grid) override;
    TCustomSaveProps &ProgramIni() override;
    QString ExecuteOpenDialog() override;
    QString ExecuteSaveDialog(const QString &proposedName) override;
    QString ExternalEditorPath() const override { return FExternalEditorPath; }
    void SetExternalEditorPath(const QString &path) override { FExternalEditorPath = path; }

    // F1: the help topic of the menu item under the mouse or of the focused control.
    void ShowContextHelp();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildMenus();
    void BuildFileDialogs();
    void FormShow();
    TChildForm *OpenChild(TChildKind kind);
    void tabPAGEChange(int index);
    void ClientAreaSubWindowActivated(QMdiSubWindow *subWindow);
    // Runs after the active window changed: puts the active child's menus in the bar and lays
    // the child out again when it is the window in front.
    void FixMenuMessage();
    void PostFixMenuMessage();
    void MergeMenus();
    void SelectTab(int index);
    void TileChildren(bool sideBySide);
    void ArrangeMinimizedChildren();

    int FChildCounter = 0;
    TChildRegistry FChildTags;
    TLogin FPendingLogin;
    QString FExternalEditorPath;
    QStringList FStartArguments;
    bool FShown = false;
    bool FClosing = false;
    // Set while the frame itself changes the selected tab, so that only the user's tab changes
    // bring a child to the front.
    bool FSelectingTab = false;
    QList<QAction *> FFrameMenus;
    TAboutBox *FAboutBox;
    QPointer<THelpViewer> FHelpViewer;
};
