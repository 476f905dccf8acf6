// One command of the worksheet while it runs: it marks the window busy (so no other command of
// the window enters the same session), keeps the session and database alive, and when the user
// closed the window meanwhile, closes it once the command has returned.
#pragma once

#include "sql/sql_form.h"

#include <memory>

namespace db {
class OraSession;
}

class TWorksheetCommand {
public:
    explicit TWorksheetCommand(TfrmSQL &form);
    ~TWorksheetCommand();
    TWorksheetCommand(const TWorksheetCommand &) = delete;
    TWorksheetCommand &operator=(const TWorksheetCommand &) = delete;

    // False when the window is not connected or another command runs: do nothing then.
    bool Started() const { return FStarted; }
    db::OraDatabase &Database() const { return *FDatabase; }
    db::OraSession &Session() const { return *FSession; }

private:
    QPointer<TfrmSQL> FForm;
    bool FStarted = false;
    std::shared_ptr<db::OraSession> FSession;
    std::shared_ptr<db::OraDatabase> FDatabase;
};
