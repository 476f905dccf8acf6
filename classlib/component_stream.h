// The component stream: a component's published properties in the binary "TPF0" format (the
// editor settings file "kestrim.edt" is one) and in its text form ("object Name: TClass" ...
// "end"), converted both ways.
//
// Writing walks the meta-object: values of nested settings objects are written as dotted paths
// ("Caret.AutoIndent", "View.Colors.Reserve.Color"), a non-empty string list as "X.Strings", a
// collection as a collection value with each item's properties, and named child components
// (TComponent children not held by a property) as child components. Properties equal to their
// declared default and STORED false properties are not written (see persistent.h).
//
// Reading applies property after property to the existing object and its existing children; a
// value is decoded whole before it is applied, so a fault (truncated data, an unknown property,
// a value of the wrong kind) raises EReadError having applied exactly the properties before it.
// The class name and component name in the stream's header are not applied to the root. Lengths
// in the stream are untrusted: nothing is read past the data given.
#pragma once

#include <QObject>

#include <string>

// The "TPF0" stream of root (its class, objectName, properties and named child components).
// A property path longer than 255 bytes cannot be written: EWriteError.
std::string WriteComponentBinary(const QObject &root);

// Applies the properties of a "TPF0" stream to root; throws EReadError at the first fault.
// Bytes after the root component's end are ignored.
void ReadComponentBinary(const std::string &stream, QObject &root);

// The text form of a binary stream (code page 932 text, lines ended by CR LF, two blanks of
// indentation per level); throws EReadError for a malformed stream.
std::string ObjectBinaryToText(const std::string &binary);

// The binary stream of a text form; throws EParserError naming the line of a syntax error.
std::string ObjectTextToBinary(const std::string &text);
