// Reading the nlsparams argument: NAME = value pairs separated by blanks, values optionally quoted.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/nls_parameters.h"

#include "localdb/localdb.h"

#include <string>

namespace localdb::functions {

namespace {

[[noreturn]] void invalidParameters()
{
    throw Error(12702, "ORA-12702: invalid NLS parameter string used in SQL function");
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool atEnd()
    {
        skipBlanks();
        return pos_ >= text_.size();
    }

    std::string name()
    {
        skipBlanks();
        std::string word;
        while (pos_ < text_.size() && (ascii::isAlnum(text_[pos_]) || text_[pos_] == '_'))
            word += ascii::toUpper(text_[pos_++]);
        if (word.empty())
            invalidParameters();
        return word;
    }

    void equals()
    {
        skipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != '=')
            invalidParameters();
        ++pos_;
    }

    // A quoted value ('' inside stands for one quote) or a bare word.
    std::string value()
    {
        skipBlanks();
        std::string result;
        if (pos_ < text_.size() && text_[pos_] == '\'') {
            ++pos_;
            while (true) {
                if (pos_ >= text_.size())
                    invalidParameters();
                if (text_[pos_] == '\'') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                        result += '\'';
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    return result;
                }
                result += text_[pos_++];
            }
        }
        while (pos_ < text_.size() && text_[pos_] != ' ' && text_[pos_] != '\t')
            result += ascii::toUpper(text_[pos_++]);
        if (result.empty())
            invalidParameters();
        return result;
    }

private:
    void skipBlanks()
    {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == ','))
            ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

void applyNlsParameters(std::string_view text, NlsSettings &nls)
{
    Reader reader(text);
    while (!reader.atEnd()) {
        std::string name = reader.name();
        reader.equals();
        std::string value = reader.value();
        if (name == "NLS_DATE_LANGUAGE" || name == "NLS_LANGUAGE") {
            nls.language = value;
        } else if (name == "NLS_NUMERIC_CHARACTERS") {
            if (value.size() != 2 || value[0] == value[1])
                invalidParameters();
            nls.numericCharacters = value;
        } else if (name == "NLS_CURRENCY") {
            nls.currency = value;
        } else if (name == "NLS_ISO_CURRENCY") {
            nls.isoCurrency = value;
        } else {
            invalidParameters();
        }
    }
}

}  // namespace localdb::functions
