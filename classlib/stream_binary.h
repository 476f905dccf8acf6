// The binary form of the component stream ("TPF0"): a reader that hands out one complete
// property at a time, so that a caller can apply each before the next is decoded, and a writer.
// Every length is checked against the data left: a corrupt stream raises EReadError and never
// reads outside the buffer.
#pragma once

#include "classlib/stream_value.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace classlib::stream {

class BinaryReader {
public:
    explicit BinaryReader(std::string_view data) : FData(data) {}

    // The signature "TPF0".
    void ReadSignature();
    // A component header: optional filer flags (and child position), class name, name.
    void ReadComponentHeader(std::string &className, std::string &name);
    // The next property of the current property list, decoded whole; false when the list's end
    // marker was read instead.
    bool ReadProperty(Property &property);
    // True (and the end marker consumed) when the current child list ends here.
    bool ReadEndOfChildren();
    // A whole component at the current position: header, properties and children.
    Component ReadComponent(int depth = 0);
    // True when every byte was consumed.
    bool AtEnd() const { return FPos == FData.size(); }

private:
    std::uint8_t ReadByte();
    std::string_view ReadBytes(std::size_t count);
    std::int64_t ReadSigned(std::size_t size);
    std::string ReadShortString();
    std::string ReadLengthPrefixed();
    Value ReadValue(int depth);
    Value ReadValueOfType(ValueType type, int depth);
    std::vector<Property> ReadPropertyList(int depth);
    std::uint8_t PeekByte() const;

    std::string_view FData;
    std::size_t FPos = 0;
};

// The whole stream of root: signature, then the component.
std::string WriteBinary(const Component &root);

// Extended (80-bit) floats in their little-endian byte form.
void EncodeExtended(long double value, unsigned char out[10]);
long double DecodeExtended(const unsigned char in[10]);

} // namespace classlib::stream
