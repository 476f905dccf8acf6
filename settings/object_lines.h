// An object's published properties as lines of the component stream's text form, for keeping
// an object in numbered ini keys. The object is streamed as the property "Obj" of a
// TStreamingDummy, so the lines read "Obj.Color = clRed", "Obj.Style = [fsBold]", ...
#pragma once

#include "classlib/persistent.h"

#include <QPointer>

#include <string>
#include <vector>

// The auxiliary component that carries the object being streamed.
class TStreamingDummy : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QObject *Obj READ Obj WRITE SetObj)
public:
    explicit TStreamingDummy(QObject *obj = nullptr);
    ~TStreamingDummy() override;

    QObject *Obj() const { return FObj; }
    // Points the dummy at another object (it is never owned).
    void SetObj(QObject *obj) { FObj = obj; }

private:
    QPointer<QObject> FObj;
};

namespace settings {

// The text-form lines between "object TStreamingDummy" and "end", indentation kept; empty when
// every property has its default.
std::vector<std::string> ObjectToLines(QObject &object);

// Reads lines made by ObjectToLines back into object. Raises EParserError or EReadError for
// damaged lines; the properties before the fault have then been applied.
void LinesToObject(const std::vector<std::string> &lines, QObject &object);

} // namespace settings
