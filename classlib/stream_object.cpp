// Walking an object's meta-object to build its stream component, and applying stream
// properties back to an object.
#include "classlib/stream_object.h"

#include "classlib/collection.h"
#include "classlib/cp932.h"
#include "classlib/errors.h"
#include "classlib/property_value.h"
#include "classlib/published_properties.h"
#include "classlib/stream_text.h"
#include "classlib/string_list.h"

#include <algorithm>

namespace classlib::stream {

namespace {

// ---------------------------------------------------------------- writing

class PropertyCollector {
public:
    // Published properties of object, their names prefixed with prefix.
    void Collect(const QObject &object, const std::string &prefix, std::vector<Property> &out)
    {
        if (std::find(FPath.begin(), FPath.end(), &object) != FPath.end() ||
            FPath.size() > static_cast<std::size_t>(kMaxNesting))
            return;  // an object reached again through its own properties is written once
        FPath.push_back(&object);
        const QMetaObject &meta = *object.metaObject();
        for (const QMetaProperty &property : PublishedProperties(meta)) {
            if (!property.isReadable() || !property.isStored())
                continue;
            const std::string name = prefix + property.name();
            if (IsObjectProperty(property))
                CollectObject(ObjectValue(object, property), name, out);
            else if (property.isWritable())
                CollectScalar(object, meta, property, name, out);
        }
        FPath.pop_back();
    }

    // Every object reached through a property (children held this way are not written again
    // as child components).
    const std::vector<const QObject *> &Reached() const { return FReached; }

private:
    void CollectObject(QObject *value, const std::string &name, std::vector<Property> &out)
    {
        if (!value)
            return;
        FReached.push_back(value);
        if (const auto *strings = qobject_cast<TStrings *>(value)) {
            if (strings->Count() == 0)
                return;
            Value list = Value::Of(ValueType::List);
            for (int i = 0; i < strings->Count(); ++i)
                list.list.push_back(Value::Text(strings->Get(i)));
            out.push_back(Property{name + ".Strings", std::move(list)});
        } else if (const auto *collection = qobject_cast<TCollection *>(value)) {
            Value items = Value::Of(ValueType::Collection);
            for (int i = 0; i < collection->Count(); ++i) {
                CollectionItem item;
                Collect(*collection->Items(i), std::string(), item.properties);
                items.items.push_back(std::move(item));
            }
            out.push_back(Property{name, std::move(items)});
        } else {
            Collect(*value, name + ".", out);
        }
    }

    static void CollectScalar(const QObject &object, const QMetaObject &meta,
                              const QMetaProperty &property, const std::string &name,
                              std::vector<Property> &out)
    {
        auto value = ValueFromVariant(property, property.read(&object));
        if (!value)
            return;
        if (const auto declared = DeclaredDefault(meta, property.name())) {
            if (QString::fromStdString(FormatValue(*value)).compare(*declared,
                                                                    Qt::CaseInsensitive) == 0)
                return;
        }
        out.push_back(Property{name, std::move(*value)});
    }

    std::vector<const QObject *> FPath;
    std::vector<const QObject *> FReached;
};

Component BuildComponent(const QObject &object, int depth)
{
    Component component;
    component.className = object.metaObject()->className();
    component.name = cp932::FromUnicode(object.objectName());
    PropertyCollector collector;
    collector.Collect(object, std::string(), component.properties);
    if (depth >= kMaxNesting)
        return component;
    for (QObject *child : object.children()) {
        if (!qobject_cast<TComponent *>(child) || child->objectName().isEmpty())
            continue;
        const auto &reached = collector.Reached();
        if (std::find(reached.begin(), reached.end(), child) != reached.end())
            continue;
        component.children.push_back(BuildComponent(*child, depth + 1));
    }
    return component;
}

// ---------------------------------------------------------------- reading

[[noreturn]] void MissingProperty(const std::string &path)
{
    throw EReadError(
        QStringLiteral("プロパティ %1 が存在しません").arg(QString::fromStdString(path)));
}

[[noreturn]] void InvalidValue(const std::string &path)
{
    throw EReadError(
        QStringLiteral("プロパティ %1 の値が不正です").arg(QString::fromStdString(path)));
}

std::vector<std::string> SplitPath(const std::string &path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = path.find('.', start);
        parts.push_back(path.substr(start, dot - start));
        if (dot == std::string::npos)
            return parts;
        start = dot + 1;
    }
}

void ApplyAt(QObject &object, const Property &property, const std::string &fullPath);

void ApplyStrings(TStrings &strings, const Value &value, const std::string &path)
{
    if (value.type != ValueType::List)
        InvalidValue(path);
    std::vector<std::string> items;
    for (const Value &element : value.list) {
        auto bytes = StringBytes(element);
        if (!bytes)
            InvalidValue(path);
        items.push_back(std::move(*bytes));
    }
    TUpdateScope scope(strings);
    strings.Clear();
    for (const std::string &item : items)
        strings.Add(item);
}

void ApplyCollection(TCollection &collection, const Value &value, const std::string &path)
{
    if (value.type != ValueType::Collection)
        InvalidValue(path);
    // Built aside first, so that a fault in any item leaves the collection as it was.
    TCollection staged(collection.Factory());
    for (std::size_t i = 0; i < value.items.size(); ++i) {
        TCollectionItem *item = staged.Add();
        if (!item)
            InvalidValue(path);
        const std::string itemPath = path + "[" + std::to_string(i) + "]";
        for (const Property &property : value.items[i].properties)
            ApplyAt(*item, property, itemPath + "." + property.name);
    }
    collection.Assign(&staged);
}

void ApplyAt(QObject &object, const Property &property, const std::string &fullPath)
{
    const std::vector<std::string> parts = SplitPath(property.name);
    QObject *target = &object;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const auto found =
            FindPublishedProperty(*target->metaObject(), QString::fromStdString(parts[i]));
        if (!found || !IsObjectProperty(*found))
            MissingProperty(fullPath);
        target = ObjectValue(*target, *found);
        if (!target)
            MissingProperty(fullPath);
    }
    const std::string &last = parts.back();
    auto *strings = qobject_cast<TStrings *>(target);
    if (strings && parts.size() > 1 && cp932::SameText(last, "Strings")) {
        ApplyStrings(*strings, property.value, fullPath);
        return;
    }
    const auto found = FindPublishedProperty(*target->metaObject(), QString::fromStdString(last));
    if (!found)
        MissingProperty(fullPath);
    if (IsObjectProperty(*found)) {
        QObject *value = ObjectValue(*target, *found);
        if (property.value.type == ValueType::Nil || property.value.type == ValueType::Null)
            return;  // an owned object stays; the stream has nothing to copy into it
        if (auto *collection = qobject_cast<TCollection *>(value))
            ApplyCollection(*collection, property.value, fullPath);
        else if (auto *list = qobject_cast<TStrings *>(value))
            ApplyStrings(*list, property.value, fullPath);
        else
            InvalidValue(fullPath);
        return;
    }
    if (!found->isWritable())
        InvalidValue(fullPath);
    const QVariant variant =
        VariantFromValue(*found, property.value, QString::fromStdString(fullPath));
    if (!found->write(target, variant))
        InvalidValue(fullPath);
}

} // namespace

Component ComponentOf(const QObject &root)
{
    return BuildComponent(root, 0);
}

void ApplyProperty(QObject &object, const Property &property)
{
    try {
        ApplyAt(object, property, property.name);
    } catch (const EReadError &) {
        throw;
    } catch (const Exception &e) {
        // A setter's own error (a full bracket list, a duplicate in a list) ends the read too.
        throw EReadError(std::string(e.what()));
    }
}

QObject &FindChildComponent(QObject &parent, const std::string &name)
{
    const QString wanted = cp932::ToUnicode(name);
    for (QObject *child : parent.children()) {
        if (qobject_cast<TComponent *>(child) &&
            child->objectName().compare(wanted, Qt::CaseInsensitive) == 0)
            return *child;
    }
    throw EReadError(QStringLiteral("コンポーネント %1 が見つかりません").arg(wanted));
}

} // namespace classlib::stream
