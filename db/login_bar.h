// The login bar across the top of every child window: user name, "/", password, "@", host
// string. Its keys let the user type "user/password@host" straight through and press Enter to
// connect, without touching the mouse.
#pragma once

#include "db/child_host.h"

#include <QFrame>

class QKeyEvent;
class QLineEdit;

class TLoginBar : public QFrame {
    Q_OBJECT
public:
    explicit TLoginBar(QWidget *parent = nullptr);

    QLineEdit *txtUSR;
    QLineEdit *txtPWD;
    QLineEdit *txtDSN;

    TLogin Login() const;
    void SetLogin(const TLogin &login);

signals:
    // Enter in the host field: the window connects with the three fields.
    void ConnectRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Each returns true when it handled the key (the key then goes no further).
    bool txtUSRKeyDown(const QKeyEvent &key);
    bool txtPWDKeyDown(const QKeyEvent &key);
    bool txtDSNKeyDown(const QKeyEvent &key);
};
