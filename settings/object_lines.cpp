// Streaming an object's properties to and from text-form lines through TStreamingDummy.
#include "settings/object_lines.h"

#include "classlib/component_stream.h"

TStreamingDummy::TStreamingDummy(QObject *obj) : FObj(obj) {}

TStreamingDummy::~TStreamingDummy() = default;

namespace settings {

std::vector<std::string> ObjectToLines(QObject &object)
{
    TStreamingDummy dummy(&object);
    const std::string text = ObjectBinaryToText(WriteComponentBinary(dummy));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    // The first line is the dummy's "object" header, the last its "end".
    if (lines.size() < 2) return {};
    return std::vector<std::string>(lines.begin() + 1, lines.end() - 1);
}

void LinesToObject(const std::vector<std::string> &lines, QObject &object)
{
    std::string text = "object TStreamingDummy\r\n";
    for (const std::string &line : lines) text += line + "\r\n";
    text += "end\r\n";
    TStreamingDummy dummy(&object);
    ReadComponentBinary(ObjectTextToBinary(text), dummy);
}

} // namespace settings
