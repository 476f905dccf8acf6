// The PL/SQL workbench window: its login bar, menu bar and the workbench's steps of Connect.
// The object tree, object grid, source editor and execution panel come with the workbench's
// commands; until then the content area stays empty.
#pragma once

#include "db/child_form.h"

class QAction;
class QMenu;

class TfrmPLSQL : public TChildForm {
    Q_OBJECT
public:
    explicit TfrmPLSQL(TChildHost *host, QWidget *parent = nullptr);

    QString KindLetter() const override { return QStringLiteral("P"); }

protected:
    void ClearBeforeConnect() override;
    void LoadAfterOpen() override;
    bool ProcessMessagesAfterConnect() const override { return true; }

private:
    void BuildMenus();
    // The object tree (lstLIST): emptied before and filled after connecting, once the object
    // browser exists.
    void ClearObjectTree() {}
    void FillObjectTree() {}
};
