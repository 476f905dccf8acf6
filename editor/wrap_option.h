// TEditorWrapOption: where word wrap cuts a logical line into rows (the row width and the
// Japanese line-breaking options), and TWrapRules, the plain snapshot of it that the wrapping
// procedure reads. The option strings are code page 932 and are matched character by
// character: a double-byte entry matches only a whole double-byte character. Every change is
// reported once through OnChange (deferred inside an update scope).
#pragma once

#include "syntax/notify_persistent.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

// A set of characters given as a code page 932 string.
class TCharacterSet {
public:
    TCharacterSet() = default;
    explicit TCharacterSet(std::string_view characters);
    // ch is one character: one byte, or a lead byte and its trail byte.
    bool Contains(std::string_view ch) const;

private:
    std::bitset<256> FSingle;
    std::vector<std::uint16_t> FDouble;  // sorted
};

struct TWrapRules {
    int WrapByte = 80;
    int TabSpaceCount = 8;
    bool Leading = false;
    bool FollowPunctuation = false;
    bool FollowRetMark = false;
    bool WordBreak = false;
    TCharacterSet Follow;
    TCharacterSet Lead;
    TCharacterSet Punctuation;
};

} // namespace editor

class TEditorWrapOption : public TNotifyPersistent {
    Q_OBJECT
    Q_PROPERTY(QString FollowStr READ FollowStr WRITE SetFollowStr)
    Q_PROPERTY(bool FollowPunctuation READ FollowPunctuation WRITE SetFollowPunctuation)
    Q_PROPERTY(bool FollowRetMark READ FollowRetMark WRITE SetFollowRetMark)
    Q_PROPERTY(QString LeadStr READ LeadStr WRITE SetLeadStr)
    Q_PROPERTY(bool Leading READ Leading WRITE SetLeading)
    Q_PROPERTY(QString PunctuationStr READ PunctuationStr WRITE SetPunctuationStr)
    Q_PROPERTY(bool WordBreak READ WordBreak WRITE SetWordBreak)
    Q_PROPERTY(int WrapByte READ WrapByte WRITE SetWrapByte)
    Q_CLASSINFO("Default.FollowPunctuation", "False")
    Q_CLASSINFO("Default.FollowRetMark", "False")
    Q_CLASSINFO("Default.Leading", "False")
    Q_CLASSINFO("Default.WordBreak", "False")
    Q_CLASSINFO("Default.WrapByte", "80")
public:
    static constexpr int MinWrapByte = 20;
    static constexpr int MaxWrapByte = 250;

    explicit TEditorWrapOption(QObject *parent = nullptr);
    ~TEditorWrapOption() override;

    // Published texts (Unicode at the property level) and their code page 932 bytes.
    QString FollowStr() const;
    void SetFollowStr(const QString &value);
    QString LeadStr() const;
    void SetLeadStr(const QString &value);
    QString PunctuationStr() const;
    void SetPunctuationStr(const QString &value);
    const std::string &FollowBytes() const { return FFollow; }
    const std::string &LeadBytes() const { return FLead; }
    const std::string &PunctuationBytes() const { return FPunctuation; }
    void SetFollowBytes(const std::string &value);
    void SetLeadBytes(const std::string &value);
    void SetPunctuationBytes(const std::string &value);

    bool FollowPunctuation() const { return FFollowPunctuation; }
    void SetFollowPunctuation(bool value);
    bool FollowRetMark() const { return FFollowRetMark; }
    void SetFollowRetMark(bool value);
    bool Leading() const { return FLeading; }
    void SetLeading(bool value);
    bool WordBreak() const { return FWordBreak; }
    void SetWordBreak(bool value);
    int WrapByte() const { return FWrapByte; }
    void SetWrapByte(int value);  // clamped to 20..250

    // The rules for wrapping with the given tab stop distance.
    editor::TWrapRules Rules(int tabSpaceCount) const;

private:
    std::string FFollow;
    std::string FLead;
    std::string FPunctuation;
    bool FFollowPunctuation = false;
    bool FFollowRetMark = false;
    bool FLeading = false;
    bool FWordBreak = false;
    int FWrapByte = 80;
};
