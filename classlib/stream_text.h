// The text form of the component stream:
//
//   object Name: TClass          (or "object TClass" for a component without a name)
//     Prop = Value
//     Nested.Prop = Value
//     object Child: TChildClass
//     end
//   end
//
// Values: integers (decimal, or hexadecimal after "$"); floats, with the suffix "s" for single,
// "c" for currency and "d" for date; strings in single quotes with '' for a quote and #nnn for a
// character given by its code, parts joined by "+" across lines (a code of 128 or more makes a
// wide string); identifiers (True and False are the Boolean values, nil and Null the empty
// ones); sets [a, b]; lists ( v1 v2 ); collections < item Prop = Value end ... >; binary data
// { hex digits }. The text is code page 932; lines end with CR LF.
#pragma once

#include "classlib/stream_value.h"

#include <string>
#include <string_view>

namespace classlib::stream {

// The text of a component (and its children).
std::string WriteText(const Component &root);

// A value as one line of text when it fits on one (lists, collections and binary data span
// lines); used to compare a value with a declared default.
std::string FormatValue(const Value &value);

// Parses the text of a component; throws EParserError naming the line of the first fault.
Component ParseText(std::string_view text);

} // namespace classlib::stream
