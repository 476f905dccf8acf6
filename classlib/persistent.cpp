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

void TPersistent::AssignProperties(const TPersistent &source)
{
    if (&source == this)
        return;
    // Only the properties both objects have: those of the less derived class.
    const QMetaObject *common =
        metaObject()->inherits(source.metaObject()) ? source.metaObject() : metaObject();
    TUpdateScope scope(*this);
    for (const QMetaProperty &property : classlib::PublishedProperties(*common)) {
        if (!property.isStored())
            continue;
        if (classlib::IsObjectProperty(property)) {
            QObject *from = classlib::ObjectValue(source, property);
            QObject *to = classlib::ObjectValue(*this, property);
            if (!from || from == to)
                continue;
            if (property.isWritable()) {
                // Setters of object-valued properties copy into the existing object.
                property.write(this, property.read(&source));
            } else if (auto *target = qobject_cast<TPersistent *>(to)) {
                target->Assign(qobject_cast<const TPersistent *>(from));
            }
        } else if (property.isWritable()) {
            property.write(this, property.read(&source));
        }
    }
}

void TPersistent::AssignError(const QObject *source) const
{
    const QString sourceClass =
        source ? QString::fromLatin1(source->metaObject()->className()) : QStringLiteral("nil");
    throw EConvertError::CannotAssign(sourceClass, QString::fromLatin1(metaObject()->className()));
}

TComponent::TComponent(QObject *owner) : TPersistent(owner) {}

TComponent::~TComponent() = default;
