// Settings objects and components: the base classes whose published properties can be copied
// with Assign and written to and read from the component stream.
//
// Conventions every subclass follows (the stream and Assign rely on them):
// - A published property is a Q_PROPERTY declared by a Kestrim class. Properties inherited from
//   Qt's own classes (QObject's objectName, QWidget's geometry, ...) are not published; the walk
//   stops at the first class whose name starts with "Q".
// - String-valued properties are QString at the meta-object level; the stream converts them to
//   code page 932.
// - Enumerations are Q_ENUM and sets are Q_FLAG (QFlags of bit values), so that the stream can
//   write their members by name. TColor, TCursor and TFontCharset are distinct types of their own
//   (graphics.h) so that the stream writes their standard identifiers.
// - An object-valued property is an owned QObject-derived pointer exposed as a Q_PROPERTY of
//   pointer type; its setter (if any) copies into the existing object and never takes ownership
//   of the argument. A string list property is a TStrings* property, a collection property a
//   TCollection* property. A property that refers to an object the component does not own (a
//   component elsewhere in the window) is declared STORED false, so that the stream does not
//   write that object's properties as if they were the component's own.
// - A property declares a default with Q_CLASSINFO("Default.<Property>", "<value>"), the value
//   spelled as the text form of the stream writes it ("0", "False", "clWindow", "hsSelect",
//   "[fsBold]"). Properties equal to their declared default are not written to the stream;
//   properties without one are always written. STORED false properties are neither written nor
//   copied by Assign.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

// A change event: called with the object that changed (or whose owner reports the change).
using TNotifyEvent = std::function<void(QObject *sender)>;

class TPersistent : public QObject {
    Q_OBJECT
public:
    explicit TPersistent(QObject *parent = nullptr);
    ~TPersistent() override;

    // Copies source into this object. The default: when source's class and this class are the
    // same or one derives from the other, every published, stored property of the less derived
    // class is copied through the meta-object (object-valued ones through their setter, else by
    // Assign into the existing object), inside one BeginUpdate/EndUpdate pair so that an object
    // with change notification reports once. Otherwise source->AssignTo(this) decides; the
    // default AssignTo raises EConvertError. A null source raises EConvertError with "nil".
    virtual void Assign(const TPersistent *source);

    // Copies this object into dest when dest does not know this class; raises EConvertError.
    virtual void AssignTo(TPersistent *dest) const;

    // Update scope: subclasses with change notification defer their notification until the
    // outermost EndUpdate. The base does nothing.
    virtual void BeginUpdate();
    virtual void EndUpdate();

protected:
    // The meta-object copy described at Assign, without the class check.
    void AssignProperties(const TPersistent &source);

    // Raises the conversion error for source (null = "nil") into this object.
    [[noreturn]] void AssignError(const QObject *source) const;
};

// A named component owned by its QObject parent. Name is the QObject's objectName (written in the
// stream's header, not as a property); Tag is a free integer for the program's own use.
class TComponent : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName STORED false)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_CLASSINFO("Default.Tag", "0")
public:
    explicit TComponent(QObject *owner = nullptr);
    ~TComponent() override;

    QString Name() const { return objectName(); }
    void SetName(const QString &name) { setObjectName(name); }
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }
    QObject *Owner() const { return parent(); }
    // The component owned by this one with that name (compared case-insensitively), or null.
    TComponent *FindComponent(const QString &name) const;

private:
    int FTag = 0;
};

// Copies one published property by name from source to dest the way Assign copies it (a value
// through dest's setter, an object-valued property through its setter or by Assign into dest's
// existing object). For copies between classes that are not related but publish properties of
// the same names, such as an editor and its property set. Raises EConvertError when either side
// lacks the property or the values cannot be copied.
void AssignPublishedProperty(QObject &dest, const QObject &source, const char *name);

// An update scope that ends also when an exception leaves it.
class TUpdateScope {
public:
    explicit TUpdateScope(TPersistent &object) : FObject(object) { FObject.BeginUpdate(); }
    ~TUpdateScope() { FObject.EndUpdate(); }
    TUpdateScope(const TUpdateScope &) = delete;
    TUpdateScope &operator=(const TUpdateScope &) = delete;

private:
    TPersistent &FObject;
};
