// TEditorWrapOption and the character sets of its line-breaking strings.
#include "editor/wrap_option.h"

#include "classlib/cp932.h"
#include "editor/attribute_string.h"

#include <algorithm>

namespace editor {

TCharacterSet::TCharacterSet(std::string_view characters)
{
    for (std::size_t i = 0; i < characters.size();) {
        const int len = CharLengthAt(characters, i);
        if (len == 2)
            FDouble.push_back(static_cast<std::uint16_t>(static_cast<unsigned char>(characters[i]) << 8 |
                                                         static_cast<unsigned char>(characters[i + 1])));
        else
            FSingle.set(static_cast<unsigned char>(characters[i]));
        i += static_cast<std::size_t>(len);
    }
    std::sort(FDouble.begin(), FDouble.end());
}

bool TCharacterSet::Contains(std::string_view ch) const
{
    if (ch.size() == 1)
        return FSingle.test(static_cast<unsigned char>(ch[0]));
    if (ch.size() == 2) {
        const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(ch[0]) << 8 |
                                                     static_cast<unsigned char>(ch[1]));
        return std::binary_search(FDouble.begin(), FDouble.end(), code);
    }
    return false;
}

} // namespace editor

namespace {

// The defaults, in code page 932: characters that may not begin a row, that may not end one,
// and punctuation that may hang past the row end.
const char *const DefaultFollow = "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4A\x81\x4B\x81\x52\x81\x53\x81\x54\x81\x55\x81\x58\x81\x5B\x81\x6A\x81\x6E\x81\x70\x81\x76\x81\x78\x21\x29\x2C\x2E\x3A\x3B\x3F\x5D\x7D\xA1\xA3\xA4\xA5\xB0\xDE\xDF";
const char *const DefaultLead = "\x81\x69\x81\x6D\x81\x6F\x81\x75\x81\x77\x28\x5B\x7B\xA2";
const char *const DefaultPunctuation = "\x81\x41\x81\x42\x81\x43\x81\x44\x2C\x2E\xA1\xA4";

} // namespace

TEditorWrapOption::TEditorWrapOption(QObject *parent)
    : TNotifyPersistent(parent), FFollow(DefaultFollow), FLead(DefaultLead), FPunctuation(DefaultPunctuation)
{
}

TEditorWrapOption::~TEditorWrapOption() = default;

QString TEditorWrapOption::FollowStr() const { return cp932::ToUnicode(FFollow); }
QString TEditorWrapOption::LeadStr() const { return cp932::ToUnicode(FLead); }
QString TEditorWrapOption::PunctuationStr() const { return cp932::ToUnicode(FPunctuation); }
void TEditorWrapOption::SetFollowStr(const QString &value) { SetFollowBytes(cp932::FromUnicode(value)); }
void TEditorWrapOption::SetLeadStr(const QString &value) { SetLeadBytes(cp932::FromUnicode(value)); }
void TEditorWrapOption::SetPunctuationStr(const QString &value) { SetPunctuationBytes(cp932::FromUnicode(value)); }

namespace {

template <typename T>
bool Assigned(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

void TEditorWrapOption::SetFollowBytes(const std::string &value)
{
    if (Assigned(FFollow, value))
        Changed();
}

void TEditorWrapOption::SetLeadBytes(const std::string &value)
{
    if (Assigned(FLead, value))
        Changed();
}

void TEditorWrapOption::SetPunctuationBytes(const std::string &value)
{
    if (Assigned(FPunctuation, value))
        Changed();
}

void TEditorWrapOption::SetFollowPunctuation(bool value)
{
    if (Assigned(FFollowPunctuation, value))
        Changed();
}

void TEditorWrapOption::SetFollowRetMark(bool value)
{
    if (Assigned(FFollowRetMark, value))
        Changed();
}

void TEditorWrapOption::SetLeading(bool value)
{
    if (Assigned(FLeading, value))
        Changed();
}

void TEditorWrapOption::SetWordBreak(bool value)
{
    if (Assigned(FWordBreak, value))
        Changed();
}

void TEditorWrapOption::SetWrapByte(int value)
{
    if (Assigned(FWrapByte, std::clamp(value, MinWrapByte, MaxWrapByte)))
        Changed();
}

editor::TWrapRules TEditorWrapOption::Rules(int tabSpaceCount) const
{
    editor::TWrapRules rules;
    rules.WrapByte = FWrapByte;
    rules.TabSpaceCount = tabSpaceCount;
    rules.Leading = FLeading;
    rules.FollowPunctuation = FFollowPunctuation;
    rules.FollowRetMark = FFollowRetMark;
    rules.WordBreak = FWordBreak;
    rules.Follow = editor::TCharacterSet(FFollow);
    rules.Lead = editor::TCharacterSet(FLead);
    rules.Punctuation = editor::TCharacterSet(FPunctuation);
    return rules;
}
