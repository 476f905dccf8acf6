// The instance monitor window: its login bar, menu bar and the monitor's steps of Connect.
// The view tree, the ratio page and the list page come with the monitor's views; until then
// the content area stays empty.
#pragma once

#include "db/child_form.h"

class TfrmINFO : public TChildForm {
    Q_OBJECT
public:
    explicit TfrmINFO(TChildHost *host, QWidget *parent = nullptr);

    QString KindLetter() const override { return QStringLiteral("I"); }

protected:
    void CompleteConnect() override;
    bool FixLayoutAfterFailedConnect() const override { return true; }
    bool ProcessMessagesAfterConnect() const override { return true; }

private:
    void BuildMenus();
    // The view tree (lstINFO) and the tuning advice, filled after connecting once the views
    // exist.
    void FillMonitorTree() {}
    void ShowTuningAdvice() {}
};
