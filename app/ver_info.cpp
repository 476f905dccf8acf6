// Finding and reading the version-information block.
//
// The block sits in an ELF section of its own (see version_resource.h); a file that is not an
// ELF program of this machine's byte order, or has no such section, has no version information.
// Every offset read from the file is checked against the file and the block, so a damaged file
// gives EVerInfo, never a read outside the data.
#include "app/ver_info.h"

#include "app/version_resource.h"

#include <QFile>

#include <elf.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

EVerInfo::EVerInfo()
    : Exception(QStringLiteral("バージョン情報が取得できません."))
{
}

namespace {

template <class T>
bool ReadAt(const std::uint8_t *data, std::size_t size, std::size_t offset, T &out)
{
    static_assert(std::is_trivially_copyable_v<T>);
    if (offset > size || size - offset < sizeof(T))
        return false;
    std::memcpy(&out, data + offset, sizeof(T));
    return true;
}

// The named section's bytes in an ELF file of class Ehdr/Shdr.
template <class Ehdr, class Shdr>
std::vector<std::uint8_t> FindSection(const std::uint8_t *data, std::size_t size, const char *name)
{
    Ehdr header;
    if (!ReadAt(data, size, 0, header) || header.e_shentsize != sizeof(Shdr))
        return {};
    const std::size_t count = header.e_shnum;
    Shdr names;
    if (header.e_shstrndx >= count ||
        !ReadAt(data, size, header.e_shoff + std::size_t{header.e_shstrndx} * sizeof(Shdr), names) ||
        names.sh_offset > size || names.sh_size > size - names.sh_offset)
        return {};
    const std::size_t nameLength = std::strlen(name);
    for (std::size_t i = 0; i < count; ++i) {
        Shdr section;
        if (!ReadAt(data, size, header.e_shoff + i * sizeof(Shdr), section))
            return {};
        if (section.sh_name >= names.sh_size || names.sh_size - section.sh_name <= nameLength)
            continue;
        const auto *sectionName = data + names.sh_offset + section.sh_name;
        if (std::memcmp(sectionName, name, nameLength + 1) != 0)
            continue;
        if (section.sh_type == SHT_NOBITS || section.sh_offset > size ||
            section.sh_size > size - section.sh_offset)
            return {};
        const auto *begin = data + section.sh_offset;
        return {begin, begin + section.sh_size};
    }
    return {};
}

std::size_t Align4(std::size_t offset)
{
    return (offset + 3) & ~std::size_t{3};
}

// Blanks and control characters at both ends go, as the version texts are often padded.
QString TrimControls(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

std::vector<std::uint8_t> TVerInfo::ReadBlock(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto size = static_cast<std::size_t>(file.size());
    if (size < EI_NIDENT)
        return {};
    const std::uint8_t *data = file.map(0, file.size());
    QByteArray copy;
    if (!data) {
        copy = file.readAll();
        data = reinterpret_cast<const std::uint8_t *>(copy.constData());
    }
    if (std::memcmp(data, ELFMAG, SELFMAG) != 0)
        return {};
    const int hostOrder = std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;
    if (data[EI_DATA] != hostOrder)
        return {};
    if (data[EI_CLASS] == ELFCLASS64)
        return FindSection<Elf64_Ehdr, Elf64_Shdr>(data, size, kVersionSectionName);
    if (data[EI_CLASS] == ELFCLASS32)
        return FindSection<Elf32_Ehdr, Elf32_Shdr>(data, size, kVersionSectionName);
    return {};
}

TVerInfo::TVerInfo(const QString &fileName)
    : TVerInfo(ReadBlock(fileName))
{
}

TVerInfo::TVerInfo(std::vector<std::uint8_t> block)
    : FBlock(std::move(block))
{
    if (FBlock.empty())
        throw EVerInfo();
    TNode root;
    if (!ParseNode(0, FBlock.size(), root))
        throw EVerInfo();
    ReadTranslation();
}

std::uint16_t TVerInfo::Word(std::size_t at) const
{
    return static_cast<std::uint16_t>(FBlock[at] | (FBlock[at + 1] << 8));
}

bool TVerInfo::ParseNode(std::size_t start, std::size_t limit, TNode &node) const
{
    if (start % 2 || start >= limit || limit - start < 6)
        return false;
    const std::size_t length = Word(start);
    if (length < 6 || length > limit - start)
        return false;
    node.Start = start;
    node.End = start + length;
    const std::size_t valueLength = Word(start + 2);
    node.TextValue = Word(start + 4) == 1;

    std::u16string key;
    std::size_t at = start + 6;
    for (;; at += 2) {
        if (at + 2 > node.End)
            return false;
        const auto c = Word(at);
        if (c == 0)
            break;
        key.push_back(static_cast<char16_t>(c));
    }
    node.Key = QString::fromStdU16String(key);
    node.ValueStart = std::min(Align4(at + 2), node.End);
    // A text value's length counts characters; it may overrun a sloppy writer's node, so it is
    // cut at the node's end.
    const std::size_t valueBytes = node.TextValue ? valueLength * 2 : valueLength;
    node.ValueBytes = std::min(valueBytes, node.End - node.ValueStart);
    node.ChildStart = std::min(Align4(node.ValueStart + node.ValueBytes), node.End);
    return true;
}

bool TVerInfo::Query(const QString &subBlock, TNode &node) const
{
    if (!ParseNode(0, FBlock.size(), node))
        return false;
    for (const auto &part : subBlock.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        TNode child;
        bool found = false;
        for (std::size_t at = node.ChildStart; at + 6 <= node.End; at = Align4(child.End)) {
            if (!ParseNode(at, node.End, child))
                return false;
            if (child.Key.compare(part, Qt::CaseInsensitive) == 0) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
        node = child;
    }
    return true;
}

void TVerInfo::ReadTranslation()
{
    TNode node;
    if (!Query(QStringLiteral("\\VarFileInfo\\Translation"), node) || node.ValueBytes < 4)
        throw EVerInfo();
    FValue = FBlock.data() + node.ValueStart;
    FValueLength = node.ValueBytes;
    const auto hex = [](std::uint16_t v) {
        return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper();
    };
    FLanguage = hex(Word(node.ValueStart));
    FCodePage = hex(Word(node.ValueStart + 2));
}

QString TVerInfo::Value(const QString &subBlock)
{
    TNode node;
    if (!Query(subBlock, node))
        throw EVerInfo();
    FValue = FBlock.data() + node.ValueStart;
    FValueLength = node.ValueBytes;
    std::u16string text;
    for (std::size_t at = node.ValueStart; at + 2 <= node.ValueStart + node.ValueBytes; at += 2) {
        const auto c = Word(at);
        if (c == 0)
            break;
        text.push_back(static_cast<char16_t>(c));
    }
    return TrimControls(QString::fromStdU16String(text));
}

QString TVerInfo::FileVersion()
{
    return Value(QStringLiteral("\\StringFileInfo\\") + FLanguage + FCodePage +
                 QStringLiteral("\\FileVersion"));
}

QString TVerInfo::VersionPart(int k)
{
    const QStringList parts = FileVersion().split(QLatin1Char('.'));
    // Only the first four parts count, however many dots the text has.
    if (k < 0 || k >= 4 || k >= parts.size())
        return {};
    return parts[k].left(10).trimmed();
}
