// The application object: the title "Kestrim", Qt's Japanese translations, the font mapping,
// and the program's default error report for a failure that no command caught, so that no
// exception leaves an event handler into Qt's event loop.
#pragma once

#include <QApplication>
#include <QTranslator>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

private:
    QTranslator FQtTranslator;
};
