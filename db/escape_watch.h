// "Has Esc been pressed since it was last asked": long commands (fetching rows, writing files)
// let window messages run between records and poll this to offer cancelling.
#pragma once

#include <QObject>

class TEscapeWatch : public QObject {
    Q_OBJECT
public:
    // Starts watching every key press of the application (once; later calls do nothing).
    static void Install();
    // True when Esc was pressed since the last call; the call clears the flag.
    static bool Pressed();

public:
    ~TEscapeWatch() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
    static TEscapeWatch *FInstance;
    bool FPressed = false;
};
