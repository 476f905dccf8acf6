// The CSV file an export writes: created (replacing an existing one), written through a large
// buffer, and closed with every write failure (a full disk, a vanished folder) raised as the
// file error, so an export never reports success for lines that did not reach the disk.
#pragma once

#include <QString>

#include <cstdio>
#include <string_view>

namespace worksheet {

class TCsvFile {
public:
    TCsvFile() = default;
    ~TCsvFile();
    TCsvFile(const TCsvFile &) = delete;
    TCsvFile &operator=(const TCsvFile &) = delete;

    // Raises EFCreateError when the file cannot be created.
    void Create(const QString &fileName);
    // Raises EWriteError when the bytes cannot be written.
    void Write(std::string_view bytes);
    // Flushes and closes; raises EWriteError when what was buffered cannot be written.
    void Close();
    // Closes after a failure, keeping what could be written, raising nothing.
    void CloseQuietly();

private:
    [[noreturn]] void Fail(int error);
    std::FILE *FFile = nullptr;
    QString FFileName;
};

} // namespace worksheet
