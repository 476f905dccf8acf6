// The published properties of a class as Assign and the component stream see them: the
// Q_PROPERTYs declared by Kestrim's own classes, in declaration order from the base class down,
// with their declared defaults and their object values (see the conventions in persistent.h).
#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace classlib {

// Published properties of the class, base class first.
std::vector<QMetaProperty> PublishedProperties(const QMetaObject &metaObject);

// The published property of that name (compared case-insensitively, as names are in streams).
std::optional<QMetaProperty> FindPublishedProperty(const QMetaObject &metaObject,
                                                   const QString &name);

// True for a property whose value is a pointer to a QObject-derived object.
bool IsObjectProperty(const QMetaProperty &property);

// The object an object-valued property of object holds (null for none or for other properties).
QObject *ObjectValue(const QObject &object, const QMetaProperty &property);

// The default the class declares for the property (Q_CLASSINFO "Default.<Property>").
std::optional<QString> DeclaredDefault(const QMetaObject &metaObject, const char *propertyName);

} // namespace classlib
