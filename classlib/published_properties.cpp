// Finding the published properties of a class through its meta-object.
#include "classlib/published_properties.h"

namespace classlib {

namespace {

// Qt's own classes are the ones whose names start with "Q"; Kestrim's start with "T".
bool IsQtClass(const QMetaObject &metaObject)
{
    return metaObject.className()[0] == 'Q';
}

} // namespace

std::vector<QMetaProperty> PublishedProperties(const QMetaObject &metaObject)
{
    // The first property of the published part is the first one declared by a class below the
    // last Qt class in the chain.
    const QMetaObject *qtBase = &metaObject;
    while (qtBase && !IsQtClass(*qtBase))
        qtBase = qtBase->superClass();
    const int first = qtBase ? qtBase->propertyCount() : 0;
    std::vector<QMetaProperty> result;
    for (int i = first; i < metaObject.propertyCount(); ++i)
        result.push_back(metaObject.property(i));
    return result;
}

std::optional<QMetaProperty> FindPublishedProperty(const QMetaObject &metaObject,
                                                   const QString &name)
{
    for (const QMetaProperty &property : PublishedProperties(metaObject)) {
        if (QString::compare(QLatin1String(property.name()), name, Qt::CaseInsensitive) == 0)
            return property;
    }
    return std::nullopt;
}

bool IsObjectProperty(const QMetaProperty &property)
{
    return property.metaType().flags().testFlag(QMetaType::PointerToQObject);
}

QObject *ObjectValue(const QObject &object, const QMetaProperty &property)
{
    if (!IsObjectProperty(property))
        return nullptr;
    const QVariant value = property.read(&object);
    // The variant holds a pointer of the property's own type; every such pointer is a QObject*.
    return *static_cast<QObject *const *>(value.constData());
}

std::optional<QString> DeclaredDefault(const QMetaObject &metaObject, const char *propertyName)
{
    const QByteArray key = QByteArray("Default.") + propertyName;
    const int index = metaObject.indexOfClassInfo(key.constData());
    if (index < 0)
        return std::nullopt;
    return QString::fromUtf8(metaObject.classInfo(index).value());
}

} // namespace classlib
