// What the frame reads when it is first shown: the login given on the command line and the kind
// of the first window from the program's ini file.
#pragma once

#include "db/child_host.h"

#include <QString>

#include <optional>

class TCustomSaveProps;

// The first command-line argument read as user "/" password "@" host. The user is the text
// before the first "/", the password the text between it and the first "@" after it, the host the
// rest. Without a "/" followed somewhere by an "@" the argument is no login.
std::optional<TLogin> ParseLoginArgument(const QString &argument);

// The value of key "FORM" in section "START" of the program's ini file: exactly "S" opens a
// worksheet, exactly "I" a monitor, anything else (no file, no key, other case, other text) a
// workbench. The program never writes this key.
TChildKind ReadStartForm(TCustomSaveProps &iniSave);
