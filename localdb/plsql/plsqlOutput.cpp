// DBMS_OUTPUT's buffer: lines written by PUT and PUT_LINE and read back after the call.
#include "localdb/plsql/plsqlOutput.h"

namespace localdb::plsql {

void outputEnable(OutputBuffer &b, std::int64_t size) {
    std::int64_t limit = size < 0 ? 0 : std::min<std::int64_t>(std::max<std::int64_t>(size, 2000), 1000000);
    if (!b.enabled || limit == 0 || (b.limit != 0 && limit > b.limit))
        b.limit = limit;
    b.enabled = true;
}

void outputDisable(OutputBuffer &b) {
    b.enabled = false;
    b.lines.clear();
    b.partial.clear();
    b.partialOpen = false;
    b.used = 0;
}

void outputPut(OutputBuffer &b, const std::string &text, bool endLine) {
    if (!b.enabled)
        return;
    // Lines not read before the next write after a read are dropped.
    if (b.readSinceWrite) {
        b.lines.clear();
        b.used = 0;
        b.readSinceWrite = false;
    }
    if (b.limit > 0 && b.used + std::int64_t(text.size()) > b.limit) {
        PlError e;
        e.code = 20000;
        e.message = "ORA-20000: ORU-10027: buffer overflow, limit of " + std::to_string(b.limit) + " bytes";
        e.stack.push_back("ORA-06512: at \"SYS.DBMS_OUTPUT\", line 32");
        throw e;
    }
    b.used += std::int64_t(text.size());
    b.partial += text;
    b.partialOpen = true;
    if (endLine) {
        b.lines.push_back(std::move(b.partial));
        b.partial.clear();
        b.partialOpen = false;
    }
}

bool outputGetLine(OutputBuffer &b, std::string &line) {
    b.readSinceWrite = true;
    if (b.lines.empty())
        return false;
    line = std::move(b.lines.front());
    b.lines.pop_front();
    b.used -= std::int64_t(line.size());
    return true;
}

std::vector<std::string> outputTakeLines(OutputBuffer &b) {
    std::vector<std::string> out(std::make_move_iterator(b.lines.begin()), std::make_move_iterator(b.lines.end()));
    b.lines.clear();
    b.used = std::int64_t(b.partial.size());
    return out;
}

}  // namespace localdb::plsql
