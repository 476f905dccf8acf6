// The text the editor benchmarks load: SQL-like lines in Shift-JIS with double-byte names and
// strings, about 50 bytes each, ended by CR LF as files of the worksheet are.
#pragma once

#include <QString>

#include <cstddef>
#include <string>

namespace bench {

std::string sqlTextLine(int i);
std::string makeSqlText(int lines);
// Writes the bytes to the file; a failure ends the benchmark.
void writeFileOrExit(const QString &name, const std::string &bytes);
// The load benchmarks' baseline: the whole file into one buffer, then its line ends counted.
std::size_t readAndCountLines(const QString &name);

}  // namespace bench
