// Between objects and the stream's values: the component of an object (its published
// properties as dotted paths, string lists, collections, named child components) and the
// application of one stream property to an object.
#pragma once

#include "classlib/stream_value.h"

#include <QObject>

namespace classlib::stream {

// The component of root: class name, objectName, published properties, named children.
Component ComponentOf(const QObject &root);

// Applies one property, its name a dotted path from object. The value is checked whole before
// anything changes (a collection is built aside and copied in); throws EReadError.
void ApplyProperty(QObject &object, const Property &property);

// The direct child of parent that a child component of the stream with that name is read into;
// throws EReadError when there is none.
QObject &FindChildComponent(QObject &parent, const std::string &name);

} // namespace classlib::stream
