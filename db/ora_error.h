// The error every member of the session interface raises: the engine's "ORA-nnnnn: ..." text, its
// code and, for statements the engine rejected while parsing, the byte offset of the offending
// token in the code page 932 text the window sent.
#pragma once

#include "classlib/errors.h"

#include <string>
#include <string_view>

namespace localdb {
class Error;
}

namespace db {

class EOraError : public Exception {
public:
    // what() (UTF-8) and Message() (Qt text) serve message boxes; Cp932Message() is the same
    // text for the windows' own code page 932 panes.
    EOraError(int code, const std::string &utf8Message, int position = -1);

    int Code() const { return code_; }          // 942 for ORA-00942; 0 for errors of this layer
    int Position() const { return position_; }  // byte offset in the text sent, -1 when none
    std::string Cp932Message() const;

private:
    int code_;
    int position_;
};

// A call made while the same database is inside a call of its own (from its progress handler).
EOraError SessionBusyError();

// The engine's error for a statement sent as cp932Sql: same text and code, the position moved
// from the UTF-8 text the engine saw to the code page 932 text.
EOraError FromEngineError(const localdb::Error &error, std::string_view cp932Sql);

} // namespace db
