// The component stream's entry points: objects to binary and back, binary to text and back.
#include "classlib/component_stream.h"

#include "classlib/errors.h"
#include "classlib/stream_binary.h"
#include "classlib/stream_object.h"
#include "classlib/stream_text.h"

namespace {

using namespace classlib::stream;

// Reads the properties and children of the component whose header was just read, applying
// each property as soon as it is decoded.
void ReadInto(BinaryReader &reader, QObject &object, int depth)
{
    if (depth > kMaxNesting)
        throw EReadError(QStringLiteral("ストリームの形式が不正です (入れ子が深すぎます)"));
    Property property;
    while (reader.ReadProperty(property))
        ApplyProperty(object, property);
    while (!reader.ReadEndOfChildren()) {
        std::string className;
        std::string name;
        reader.ReadComponentHeader(className, name);
        ReadInto(reader, FindChildComponent(object, name), depth + 1);
    }
}

} // namespace

std::string WriteComponentBinary(const QObject &root)
{
    return WriteBinary(ComponentOf(root));
}

void ReadComponentBinary(const std::string &stream, QObject &root)
{
    BinaryReader reader(stream);
    reader.ReadSignature();
    std::string className;
    std::string name;
    reader.ReadComponentHeader(className, name);
    ReadInto(reader, root, 0);
}

std::string ObjectBinaryToText(const std::string &binary)
{
    BinaryReader reader(binary);
    reader.ReadSignature();
    return WriteText(reader.ReadComponent());
}

std::string ObjectTextToBinary(const std::string &text)
{
    return WriteBinary(ParseText(text));
}
