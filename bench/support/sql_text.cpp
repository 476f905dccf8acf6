#include "bench/support/sql_text.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace bench {

std::string sqlTextLine(int i) {
    static const char *const words[] = {"select", "name", "from", "emp", "where", "id", "=", "and",
                                        "\x8E\x81\x96\xBC", "'\x82\xA0\x82\xA2'", "--", "1234", "\t"};
    std::string line;
    const int n = 7 + (i * 7) % 9;
    for (int k = 0; k < n; ++k) {
        line += words[(i + k * 5) % 13];
        line += ' ';
    }
    return line;
}

std::string makeSqlText(int lines) {
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 56);
    for (int i = 0; i < lines; ++i) {
        text += sqlTextLine(i);
        text += "\r\n";
    }
    return text;
}

void writeFileOrExit(const QString &name, const std::string &bytes) {
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
        std::exit(1);
    }
}

std::size_t readAndCountLines(const QString &name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
        std::exit(1);
    }
    const auto size = static_cast<std::size_t>(file.size());
    std::unique_ptr<char[]> buffer(new char[size]);
    file.read(buffer.get(), static_cast<qint64>(size));
    std::size_t lines = 0;
    const char *p = buffer.get();
    const char *end = p + size;
    while (const void *hit = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
        ++lines;
        p = static_cast<const char *>(hit) + 1;
    }
    return lines;
}

}  // namespace bench
