// Entry point of the window tests: the application object lives on main's stack, as in the
// program itself, so Qt takes its own objects down in order after the last test has run.
// Destroying it among the program's static objects at exit instead crashes in Qt's input devices.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
