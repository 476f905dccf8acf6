#include "localdb/client/server_output.h"

#include "localdb/client/text_width.h"

#include <string_view>

namespace localdb::client {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view withoutLeadingBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

void wordWrap(std::string_view text, int width, std::vector<std::string> &out) {
    text = withoutLeadingBlanks(text);
    while (displayWidth(text) > width) {
        const std::string_view fits = leadingColumns(text, width);
        size_t cut = fits.size();
        if (cut < text.size() && !isBlank(text[cut])) {
            // The word goes on past the width: break before it, unless it fills the line alone.
            const size_t blank = fits.find_last_of(" \t");
            if (blank != std::string_view::npos && blank > 0)
                cut = blank;
        }
        if (cut == 0)
            cut = 1;  // a character wider than the line still moves on
        out.emplace_back(text.substr(0, cut));
        text = withoutLeadingBlanks(text.substr(cut));
    }
    out.emplace_back(text);
}

}  // namespace

std::vector<std::string> serverOutputLines(const std::string &line, const ClientSettings &settings) {
    std::vector<std::string> out;
    std::string_view rest = line;
    for (;;) {
        const size_t feed = rest.find('\n');
        const std::string_view piece = rest.substr(0, feed);
        switch (settings.serverOutputFormat) {
        case ClientSettings::OutputFormat::WordWrapped:
            wordWrap(piece, settings.lineSize, out);
            break;
        case ClientSettings::OutputFormat::Wrapped:
            for (std::string &wrapped : wrapToWidth(piece, settings.lineSize))
                out.push_back(std::move(wrapped));
            break;
        case ClientSettings::OutputFormat::Truncated:
            out.emplace_back(leadingColumns(piece, settings.lineSize));
            break;
        }
        if (feed == std::string_view::npos)
            break;
        rest.remove_prefix(feed + 1);
    }
    return out;
}

}  // namespace localdb::client
