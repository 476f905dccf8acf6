// Components with one property of every kind the settings persistence distinguishes, shared by
// the settings tests.
#pragma once

#include "classlib/graphics.h"
#include "classlib/persistent.h"

#include <QObject>
#include <QString>

// Five numbers with declared defaults, so that the stream writes only those that differ: the
// number of lines it takes can be chosen.
class TSampleSettings : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int A MEMBER A)
    Q_PROPERTY(int B MEMBER B)
    Q_PROPERTY(int C MEMBER C)
    Q_PROPERTY(int D MEMBER D)
    Q_PROPERTY(int E MEMBER E)
    Q_CLASSINFO("Default.A", "0")
    Q_CLASSINFO("Default.B", "0")
    Q_CLASSINFO("Default.C", "0")
    Q_CLASSINFO("Default.D", "0")
    Q_CLASSINFO("Default.E", "0")
public:
    using TPersistent::TPersistent;
    int A = 0, B = 0, C = 0, D = 0, E = 0;
};

class TSample : public TComponent {
    Q_OBJECT
public:
    enum TMode { mdOff, mdSlow, mdFast };
    Q_ENUM(TMode)

private:
    Q_PROPERTY(int Number MEMBER Number)
    Q_PROPERTY(bool Flag MEMBER Flag)
    Q_PROPERTY(TMode Mode MEMBER Mode)
    Q_PROPERTY(TColor Color MEMBER Color)
    Q_PROPERTY(classlib::TFontStyles Style MEMBER Style)
    Q_PROPERTY(double Ratio MEMBER Ratio)
    Q_PROPERTY(QString Text MEMBER Text)
    Q_PROPERTY(qlonglong Big MEMBER Big)
    Q_PROPERTY(TSampleSettings *Settings READ Settings)

public:
    explicit TSample(QObject *owner = nullptr, const QString &name = {}) : TComponent(owner)
    {
        setObjectName(name);
    }
    TSampleSettings *Settings() { return &FSettings; }

    int Number = 0;
    bool Flag = false;
    TMode Mode = mdOff;
    TColor Color = clBlack;
    classlib::TFontStyles Style;
    double Ratio = 0;
    QString Text;
    qlonglong Big = 0;

private:
    TSampleSettings FSettings{this};
};
