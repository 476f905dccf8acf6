// The SQL worksheet window: its login bar, menu bar and the worksheet's steps of Connect.
// The statement editor, the history and table panels and the result pages come with the
// worksheet's commands; until then the content area stays empty.
#pragma once

#include "db/child_form.h"

class QAction;
class QMenu;

class TfrmSQL : public TChildForm {
    Q_OBJECT
public:
    explicit TfrmSQL(TChildHost *host, QWidget *parent = nullptr);

    QString KindLetter() const override { return QStringLiteral("S"); }

    QMenu *mnu_EDIT;

protected:
    void ClearBeforeConnect() override;
    void LoadAfterOpen() override;
    void CompleteConnect() override;
    bool FixLayoutAfterFailedConnect() const override { return true; }

private:
    void BuildMenus();
    // The table list of the left panel (lstTAB): emptied before and filled after connecting,
    // once the table browser exists.
    void ClearTableList() {}
    void FillTableList() {}
};
