// Writing a version-information block.
//
// Every node of the block is: a 16-bit total length, a 16-bit value length, a 16-bit type (1 for
// text values, 0 for binary), the key in UTF-16 with its terminating zero, padding to a 32-bit
// boundary, the value, padding again, then the child nodes, each starting on a 32-bit boundary.
// The value length counts 16-bit characters for text values and bytes for binary ones.
#include "app/version_resource.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace {

class TBlockWriter {
public:
    std::vector<std::uint8_t> Bytes;

    void Word(std::uint16_t value)
    {
        Bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
        Bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void DWord(std::uint32_t value)
    {
        Word(static_cast<std::uint16_t>(value & 0xFFFF));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Text(const std::u16string &text)
    {
        for (char16_t c : text)
            Word(static_cast<std::uint16_t>(c));
        Word(0);
    }
    void Align()
    {
        while (Bytes.size() % 4)
            Bytes.push_back(0);
    }
    void Patch(std::size_t at, std::size_t value)
    {
        if (value > 0xFFFF)
            throw std::length_error("version block node longer than 65535 bytes");
        Bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
        Bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }

    // One node: header, key, value (written by value, which returns the value length field),
    // children (written by children).
    void Node(const std::u16string &key, std::uint16_t type,
              const std::function<std::uint16_t()> &value,
              const std::function<void()> &children = {})
    {
        Align();
        const std::size_t start = Bytes.size();
        Word(0);  // total length, patched below
        Word(0);  // value length, patched below
        Word(type);
        Text(key);
        Align();
        const std::uint16_t valueLength = value ? value() : 0;
        Patch(start + 2, valueLength);
        if (children) {
            Align();
            children();
        }
        Patch(start, Bytes.size() - start);
    }
};

std::u16string Utf16(const std::string &utf8)
{
    return QString::fromUtf8(utf8).toStdU16String();
}

std::u16string HexKey(std::uint16_t language, std::uint16_t codePage)
{
    return QStringLiteral("%1%2")
        .arg(language, 4, 16, QLatin1Char('0'))
        .arg(codePage, 4, 16, QLatin1Char('0'))
        .toUpper()
        .toStdU16String();
}

std::uint32_t High(const std::array<std::uint16_t, 4> &v) { return (std::uint32_t{v[0]} << 16) | v[1]; }
std::uint32_t Low(const std::array<std::uint16_t, 4> &v) { return (std::uint32_t{v[2]} << 16) | v[3]; }

} // namespace

std::vector<std::uint8_t> BuildVersionResource(const TVersionResourceContent &content)
{
    TBlockWriter w;
    w.Node(u"VS_VERSION_INFO", 0,
           [&] {
               w.DWord(0xFEEF04BD);  // signature of the fixed file information
               w.DWord(0x00010000);  // its structure version
               w.DWord(High(content.FileVersion));
               w.DWord(Low(content.FileVersion));
               w.DWord(High(content.ProductVersion));
               w.DWord(Low(content.ProductVersion));
               w.DWord(0x3F);        // flags mask
               w.DWord(0);           // flags
               w.DWord(0x00040004);  // operating system: 32-bit Windows NT
               w.DWord(1);           // file type: application
               w.DWord(0);           // subtype
               w.DWord(0);           // date, high
               w.DWord(0);           // date, low
               return std::uint16_t{52};
           },
           [&] {
               w.Node(u"StringFileInfo", 1, {}, [&] {
                   w.Node(HexKey(content.Language, content.CodePage), 1, {}, [&] {
                       for (const auto &[key, value] : content.Strings) {
                           const auto text = Utf16(value);
                           w.Node(Utf16(key), 1, [&] {
                               w.Text(text);
                               return static_cast<std::uint16_t>(text.size() + 1);
                           });
                       }
                   });
               });
               w.Node(u"VarFileInfo", 1, {}, [&] {
                   w.Node(u"Translation", 0, [&] {
                       w.Word(content.Language);
                       w.Word(content.CodePage);
                       return std::uint16_t{4};
                   });
               });
           });
    w.Align();
    return w.Bytes;
}

TVersionResourceContent KestrimVersionContent(const std::string &version)
{
    TVersionResourceContent content;
    const auto parts = QString::fromStdString(version).split(QLatin1Char('.'));
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
        content.FileVersion[i] = static_cast<std::uint16_t>(parts[i].toUInt());
        content.ProductVersion[i] = content.FileVersion[i];
    }
    content.Strings = {
        {"CompanyName", "Kestrim"},
        {"FileDescription", "Oracle データベース作業台"},
        {"FileVersion", version},
        {"InternalName", "kestrim"},
        {"LegalCopyright", "Copyright (C) Kestrim の開発者"},
        {"OriginalFilename", "kestrim"},
        {"ProductName", "Kestrim"},
        {"ProductVersion", version},
    };
    return content;
}
