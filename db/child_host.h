// What the frame window offers the child windows: creating windows, the registry callbacks on
// activation, caption change and close, the pending login handed to the next window, the
// commands every child's menus share with the frame (About, help contents, end, window
// arrangement) and the external editor path shared by the PL/SQL workbenches.
//
// The child windows live below the frame in the build, so they reach it only through this
// interface; the frame implements it.
#pragma once

#include <QString>

#include <memory>

class TCustomSaveProps;
class TStringGrid;
namespace db {
class OraDynaset;
}

// The user, password and host string typed into a login bar.
struct TLogin {
    QString User;
    QString Password;
    QString Host;

    bool operator==(const TLogin &) const = default;
};

// The three kinds of child window.
enum class TChildKind { PLSQL, SQL, INFO };

// The window arrangement commands of every Window menu.
enum class TArrangeCommand { Cascade, TileHorizontal, TileVertical, MinimizeAll, ArrangeIcons };

class TChildHost {
public:
    virtual ~TChildHost() = default;

    virtual void OpenPLSQLWindow() = 0;
    virtual void OpenSQLWindow() = 0;
    virtual void OpenINFOWindow() = 0;

    virtual void ActivateChild(int tag) = 0;
    virtual void SetChildCaption(int tag, const QString &caption) = 0;
    virtual void RemoveChild(int tag) = 0;
    virtual void FixChildLayout() = 0;

    virtual void SetPendingLogin(const TLogin &login) = 0;
    virtual TLogin PendingLogin() const = 0;

    virtual void ShowAbout() = 0;
    virtual void ShowHelpContents() = 0;
    // Closes the frame, which ends the program.
    virtual void CloseFrame() = 0;
    virtual void ArrangeChildren(TArrangeCommand command) = 0;

    // The grid routines every window shares: empty a grid; fill it with the header and every
    // record of a dynaset (Esc offers to stop) and return the records written; size its columns.
    // Filling and sizing lay the active child out again.
    virtual void ClearGrid(TStringGrid &grid) = 0;
    virtual int FillGridFromDynaset(std::shared_ptr<db::OraDynaset> dynaset, TStringGrid &grid) = 0;
    virtual void AutoSizeGridColumns(TStringGrid &grid) = 0;

    // The frame's open dialog for programs ("実行ファイル" and all files): the chosen file, empty
    // when the user cancelled.
    virtual QString ExecuteOpenDialog() = 0;
    // The frame's save dialog for CSV files, proposing proposedName: the chosen file, empty when
    // the user cancelled (the dialog keeps no name from one use to the next).
    virtual QString ExecuteSaveDialog(const QString &proposedName) = 0;

    // The program's ini file (start window, the worksheet's left panel, the workbench's editor
    // settings), read and written by section and key.
    virtual TCustomSaveProps &ProgramIni() = 0;

    virtual QString ExternalEditorPath() const = 0;
    virtual void SetExternalEditorPath(const QString &path) = 0;
};
