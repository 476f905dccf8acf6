// The running command's guard.
#include "sql/worksheet_command.h"

#include <QMdiSubWindow>
#include <QTimer>

TWorksheetCommand::TWorksheetCommand(TfrmSQL &form) : FForm(&form)
{
    if (form.FBusy || !form.Connected())
        return;
    FStarted = true;
    form.FBusy = true;
    form.FUserCancelled = false;
    FSession = form.SessionRef();
    FDatabase = form.DatabaseRef();
}

TWorksheetCommand::~TWorksheetCommand()
{
    if (!FStarted || !FForm)
        return;
    TfrmSQL *form = FForm;
    form->FBusy = false;
    form->FCancelAllowed = false;
    if (form->FCloseRequested) {
        // Closing now would free the window under the frames that called this command.
        QTimer::singleShot(0, form, [form] {
            if (auto *subWindow = qobject_cast<QMdiSubWindow *>(form->parentWidget()))
                subWindow->close();
            else
                form->close();
        });
    }
}
