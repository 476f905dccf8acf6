// Parsing of number format models.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/number_format_model.h"

#include "localdb/functions/function_errors.h"

#include <algorithm>

namespace localdb::functions {

namespace {

using Model = NumberFormatModel;

[[noreturn]] void invalidModel() { raiseError(1481); }

class ModelParser {
public:
    explicit ModelParser(std::string_view text) : text_(text) {}

    Model parse()
    {
        while (pos_ < text_.size())
            parseElement();
        finish();
        return model_;
    }

private:
    bool startsWith(std::string_view element) const
    {
        if (text_.size() - pos_ < element.size())
            return false;
        for (std::size_t i = 0; i < element.size(); ++i) {
            if (ascii::toUpper(text_[pos_ + i]) != element[i])
                return false;
        }
        return true;
    }

    bool anyPositionSeen() const
    {
        return !model_.integerMask.empty() || model_.hasDecimal || model_.currency != Model::Currency::None
            || model_.hexDigits > 0 || model_.kind != Model::Kind::Digits;
    }

    // Elements that may only close the model (MI, PR, a trailing S).
    void mustBeLast(std::size_t length)
    {
        if (pos_ + length != text_.size())
            invalidModel();
    }

    void setSign(Model::Sign sign)
    {
        if (model_.sign != Model::Sign::Default)
            invalidModel();
        model_.sign = sign;
    }

    void setCurrency(Model::Currency currency, std::size_t length)
    {
        if (model_.currency != Model::Currency::None)
            invalidModel();
        model_.currency = currency;
        // After the digits a currency symbol is printed after them.
        model_.currencyAtEnd = !model_.integerMask.empty() || model_.hasDecimal;
        pos_ += length;
    }

    void digit(char c)
    {
        if (model_.scientific || model_.kind != Model::Kind::Digits)
            invalidModel();
        if (model_.hexDigits > 0)
            invalidModel();
        if (model_.currencyAtEnd)
            invalidModel();
        if (model_.hasDecimal) {
            model_.fractionMask += c;
        } else {
            model_.integerMask += c;
            if (vSeen_)
                ++model_.shiftDigits;
        }
        ++pos_;
    }

    void separator(bool group, bool nls)
    {
        if (separatorsSeen_ && model_.nlsSeparators != nls)
            invalidModel();
        separatorsSeen_ = true;
        model_.nlsSeparators = nls;
        if (model_.scientific || model_.kind != Model::Kind::Digits || model_.hexDigits > 0)
            invalidModel();
        if (group) {
            // A group separator cannot begin the model nor follow the decimal character.
            if (model_.integerMask.empty() || model_.hasDecimal || vSeen_)
                invalidModel();
            model_.integerMask += ',';
        } else {
            if (model_.hasDecimal || vSeen_)
                invalidModel();
            model_.hasDecimal = true;
        }
        ++pos_;
    }

    void parseElement()
    {
        char c = text_[pos_];
        char upper = ascii::toUpper(c);
        if (c == '9' || c == '0') {
            if (c == '0' && model_.hexDigits == 0 && model_.integerMask.empty() && !model_.hasDecimal
                && nextIsHex()) {
                // Leading zeros of a hexadecimal model pad the value with zeros.
                model_.hexZeroFill = true;
                ++model_.hexDigits;
                ++pos_;
                return;
            }
            if (c == '0' && model_.hexDigits > 0 && model_.hexZeroFill && !hexLetterSeen_) {
                ++model_.hexDigits;
                ++pos_;
                return;
            }
            digit(c);
            return;
        }
        if (c == ',' || upper == 'G') {
            separator(true, c != ',');
            return;
        }
        if (c == '.' || upper == 'D') {
            separator(false, c != '.');
            return;
        }
        if (startsWith("FM")) {
            if (model_.fillMode || anyPositionSeen())
                invalidModel();
            model_.fillMode = true;
            pos_ += 2;
            return;
        }
        if (startsWith("EEEE")) {
            if (model_.scientific || (model_.integerMask.empty() && model_.fractionMask.empty())
                || model_.integerMask.find(',') != std::string::npos || vSeen_)
                invalidModel();
            model_.scientific = true;
            pos_ += 4;
            return;
        }
        if (startsWith("MI")) {
            mustBeLast(2);
            setSign(Model::Sign::TrailingMinus);
            pos_ += 2;
            return;
        }
        if (startsWith("PR")) {
            mustBeLast(2);
            setSign(Model::Sign::Brackets);
            pos_ += 2;
            return;
        }
        if (startsWith("RN")) {
            if (anyPositionSeen())
                invalidModel();
            model_.kind = Model::Kind::Roman;
            model_.romanLower = c == 'r';
            pos_ += 2;
            if (pos_ != text_.size())
                invalidModel();
            return;
        }
        if (startsWith("TM")) {
            if (anyPositionSeen())
                invalidModel();
            pos_ += 2;
            model_.kind = Model::Kind::TextMinimum;
            if (pos_ < text_.size() && text_[pos_] == '9') {
                ++pos_;
            } else if (pos_ < text_.size() && ascii::toUpper(text_[pos_]) == 'E') {
                model_.kind = Model::Kind::TextMinimumScientific;
                ++pos_;
            }
            if (pos_ != text_.size())
                invalidModel();
            return;
        }
        switch (upper) {
        case 'S':
            if (!anyPositionSeen()) {
                setSign(Model::Sign::LeadingS);
            } else {
                mustBeLast(1);
                setSign(Model::Sign::TrailingS);
            }
            ++pos_;
            return;
        case 'B':
            model_.blankZero = true;
            ++pos_;
            return;
        case '$':
            setCurrency(Model::Currency::Dollar, 1);
            return;
        case 'L':
            setCurrency(Model::Currency::Local, 1);
            return;
        case 'C':
            setCurrency(Model::Currency::Iso, 1);
            return;
        case 'U':
            setCurrency(Model::Currency::Dual, 1);
            return;
        case 'V':
            if (vSeen_ || model_.hasDecimal || model_.scientific)
                invalidModel();
            vSeen_ = true;
            ++pos_;
            return;
        case 'X':
            if (!model_.integerMask.empty() || model_.hasDecimal || model_.currency != Model::Currency::None
                || model_.sign != Model::Sign::Default || model_.blankZero)
                invalidModel();
            if (hexLetterSeen_ && model_.hexLower != (c == 'x'))
                invalidModel();
            hexLetterSeen_ = true;
            model_.hexLower = c == 'x';
            ++model_.hexDigits;
            ++pos_;
            return;
        default:
            invalidModel();
        }
    }

    // True when the rest of the model is zeros followed by X: "0XXX".
    bool nextIsHex() const
    {
        std::size_t i = pos_;
        while (i < text_.size() && text_[i] == '0')
            ++i;
        return i < text_.size() && (text_[i] == 'X' || text_[i] == 'x');
    }

    void finish()
    {
        if (model_.hexDigits > 0) {
            if (!hexLetterSeen_)
                invalidModel();
            model_.kind = Model::Kind::Hex;
        }
        if (vSeen_ && model_.integerMask.empty())
            invalidModel();
        // A model needs at least one digit position.
        if (model_.kind == Model::Kind::Digits && model_.integerDigitCount() == 0 && model_.fractionMask.empty())
            invalidModel();
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    Model model_;
    bool vSeen_ = false;
    bool separatorsSeen_ = false;
    bool hexLetterSeen_ = false;
};

}  // namespace

int NumberFormatModel::integerDigitCount() const
{
    return static_cast<int>(std::count_if(integerMask.begin(), integerMask.end(),
                                          [](char c) { return c != ','; }));
}

NumberFormatModel parseNumberFormatModel(std::string_view model)
{
    return ModelParser(model).parse();
}

}  // namespace localdb::functions
