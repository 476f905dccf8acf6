// The export's output file.
#include "sql/csv_file.h"

#include "classlib/errors.h"

#include <QFile>

#include <cerrno>
#include <cstring>

namespace worksheet {

namespace {
constexpr std::size_t kBufferBytes = 1 << 20;
}

TCsvFile::~TCsvFile() { CloseQuietly(); }

void TCsvFile::Create(const QString &fileName)
{
    FFileName = fileName;
    FFile = std::fopen(QFile::encodeName(fileName).constData(), "wb");
    if (!FFile)
        throw EFCreateError::CannotCreate(fileName, QString::fromLocal8Bit(std::strerror(errno)));
    std::setvbuf(FFile, nullptr, _IOFBF, kBufferBytes);
}

void TCsvFile::Fail(int error)
{
    throw EWriteError(QStringLiteral("ファイル %1 に書き込めません: %2")
                          .arg(FFileName, QString::fromLocal8Bit(std::strerror(error))));
}

void TCsvFile::Write(std::string_view bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), FFile) != bytes.size())
        Fail(errno);
}

void TCsvFile::Close()
{
    std::FILE *file = FFile;
    FFile = nullptr;
    // A null stream would flush every open stream of the program.
    if (!file)
        return;
    const bool flushed = std::fflush(file) == 0;
    const int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (!flushed || !closed)
        Fail(flushed ? errno : error);
}

void TCsvFile::CloseQuietly()
{
    if (FFile)
        std::fclose(FFile);
    FFile = nullptr;
}

} // namespace worksheet
