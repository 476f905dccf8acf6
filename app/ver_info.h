// Reads the version information of a program file: the version-information block that the build
// embeds in the kestrim executable, laid out as a Windows version resource. Values are looked up
// by sub-block path ("\StringFileInfo\041103A4\FileVersion", "\VarFileInfo\Translation").
#pragma once

#include "classlib/errors.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// Raised when a file has no readable version information or a looked-up path is not in it.
class EVerInfo : public Exception {
public:
    EVerInfo();
};

class TVerInfo {
public:
    // Reads the block of the program file fileName. Raises EVerInfo when the file cannot be read,
    // holds no block, the block is malformed or has no translation entry.
    explicit TVerInfo(const QString &fileName);
    // The same for a block already in memory.
    explicit TVerInfo(std::vector<std::uint8_t> block);

    std::size_t Size() const { return FBlock.size(); }
    // The translation entry's language and code page as 4 upper-case hexadecimal digits each.
    const QString &Language() const { return FLanguage; }
    const QString &CodePage() const { return FCodePage; }

    // The text stored at the sub-block path, with leading and trailing blanks and control
    // characters trimmed; empty when the value is empty. Raises EVerInfo for a path that is not
    // in the block.
    QString Value(const QString &subBlock);

    // "\StringFileInfo\" + language + code page + "\FileVersion".
    QString FileVersion();
    // Part k (0 major, 1 minor, 2 release, 3 build) of the file version: the k-th of the first
    // four dot-separated parts, each cut to 10 characters and trimmed; empty when missing.
    QString VersionPart(int k);
    QString Major() { return VersionPart(0); }
    QString Minor() { return VersionPart(1); }
    QString Release() { return VersionPart(2); }

    // The embedded block of a program file; empty when the file has none or cannot be read.
    static std::vector<std::uint8_t> ReadBlock(const QString &fileName);

private:
    struct TNode {
        std::size_t Start = 0;
        std::size_t End = 0;         // start + total length, within the block
        std::size_t ValueStart = 0;
        std::size_t ValueBytes = 0;  // bytes of the value, within the node
        std::size_t ChildStart = 0;
        bool TextValue = false;
        QString Key;
    };

    void ReadTranslation();
    // The node at offset start, bounded by limit; false when it does not fit.
    bool ParseNode(std::size_t start, std::size_t limit, TNode &node) const;
    // Finds the node of a sub-block path; false when some part of the path is not there.
    bool Query(const QString &subBlock, TNode &node) const;
    std::uint16_t Word(std::size_t at) const;

    std::vector<std::uint8_t> FBlock;
    // Result of the last lookup.
    const std::uint8_t *FValue = nullptr;
    std::size_t FValueLength = 0;
    QString FLanguage;
    QString FCodePage;
};
