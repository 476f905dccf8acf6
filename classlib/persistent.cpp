// Settings objects: the meta-object copy behind Assign, and the component base class.
#include "classlib/persistent.h"

#include "classlib/errors.h"
#include "classlib/published_properties.h"

TPersistent::TPersistent(QObject *parent) : QObject(parent) {}

TPersistent::~TPersistent() = default;

void TPersistent::Assign(const TPersistent *source)
{
    if (!source)
        AssignError(nullptr);
    if (source == this)
        return;
    const QMetaObject *mine = metaObject();
    const QMetaObject *theirs = source->metaObject();
    if (mine->inherits(theirs) || theirs->inherits(mine)) {
        AssignProperties(*source);
        return;
    }
    source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent *dest) const
{
    dest->AssignError(this);
}

void TPersistent::BeginUpdate() {}

void TPersistent::EndUpdate() {}

namespace {

// Copies one property that both objects have; see AssignPublishedProperty.
void CopyProperty(QObject &dest, const QObject &source, const QMetaProperty &from,
                  const QMetaProperty &to)
{
    if (classlib::IsObjectProperty(from) && classlib::IsObjectProperty(to)) {
        QObject *value = classlib::ObjectValue(source, from);
        QObject *target = classlib::ObjectValue(dest, to);
        if (!value || value == target)
            return;
        if (to.isWritable() && to.metaType() == from.metaType()) {
            // Setters of object-valued properties copy into the existing object.
            to.write(&dest, from.read(&source));
            return;
        }
        auto *persistent = qobject_cast<TPersistent *>(target);
        const auto *sourceValue = qobject_cast<const TPersistent *>(value);
        if (!persistent || !sourceValue)
            throw EConvertError::CannotAssign(
                QString::fromLatin1(value->metaObject()->className()),
                QString::fromLatin1(target ? target->metaObject()->className() : "nil"));
        persistent->Assign(sourceValue);
        return;
    }
    if (to.isWritable() && !to.write(&dest, from.read(&source)))
        throw EConvertError::CannotAssign(QString::fromLatin1(source.metaObject()->className()),
                                          QString::fromLatin1(dest.metaObject()->className()));
}

} // namespace

void TPersistent::AssignProperties(const TPersistent &source)
{
    if (&source == this)
        return;
    // Only the properties both objects have: those of the less derived class.
    const QMetaObject *common =
        metaObject()->inherits(source.metaObject()) ? source.metaObject() : metaObject();
    TUpdateScope scope(*this);
    for (const QMetaProperty &property : classlib::PublishedProperties(*common)) {
        if (property.isStored())
            CopyProperty(*this, source, property, property);
    }
}

void AssignPublishedProperty(QObject &dest, const QObject &source, const char *name)
{
    const QString wanted = QString::fromLatin1(name);
    const auto from = classlib::FindPublishedProperty(*source.metaObject(), wanted);
    const auto to = classlib::FindPublishedProperty(*dest.metaObject(), wanted);
    if (!from || !to)
        throw EConvertError::CannotAssign(QString::fromLatin1(source.metaObject()->className()),
                                          QString::fromLatin1(dest.metaObject()->className()));
    CopyProperty(dest, source, *from, *to);
}

void TPersistent::AssignError(const QObject *source) const
{
    const QString sourceClass =
        source ? QString::fromLatin1(source->metaObject()->className()) : QStringLiteral("nil");
    throw EConvertError::CannotAssign(sourceClass, QString::fromLatin1(metaObject()->className()));
}

TComponent::TComponent(QObject *owner) : TPersistent(owner) {}

TComponent::~TComponent() = default;

TComponent *TComponent::FindComponent(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;
    for (QObject *child : children()) {
        auto *component = qobject_cast<TComponent *>(child);
        if (component && component->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return component;
    }
    return nullptr;
}
