// The login bar and its key rules.
#include "db/login_bar.h"

#include "db/form_helpers.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>

namespace {

// The password field shows "*" for every character, whatever the widget style would draw.
class TPasswordStarStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

bool IsEnter(const QKeyEvent &key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// Shift alone held (the keypad flag of the Enter key on the number pad does not count): only
// this goes back a field; Shift+Ctrl+Enter goes forward like plain Enter.
bool ShiftAlone(const QKeyEvent &key)
{
    return (key.modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
}

QLineEdit *MakeField(QWidget *parent, const char *name, int helpContext, const QString &hint)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setFont(formutil::WindowFont(QStringLiteral("ＭＳ ゴシック"), 15));
    formutil::SetHelpContext(field, helpContext);
    formutil::SetHint(field, hint);
    return field;
}

} // namespace

TLoginBar::TLoginBar(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("PanelTOP"));
    setFixedHeight(33);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);

    txtUSR = MakeField(this, "txtUSR", 3001, QStringLiteral("ユーザ名|ユーザ名"));
    txtUSR->setFixedWidth(113);
    txtPWD = MakeField(this, "txtPWD", 3002, QStringLiteral("パスワード|パスワード"));
    txtPWD->setEchoMode(QLineEdit::Password);
    auto *starStyle = new TPasswordStarStyle;
    starStyle->setParent(txtPWD);
    txtPWD->setStyle(starStyle);
    txtDSN = MakeField(this, "txtDSN", 3003, QStringLiteral("ホスト文字列|ホスト文字列"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(3);
    layout->addWidget(txtUSR);
    layout->addWidget(new QLabel(QStringLiteral("/"), this));
    layout->addWidget(txtPWD);
    layout->addWidget(new QLabel(QStringLiteral("@"), this));
    layout->addWidget(txtDSN);
    layout->addStretch(1);
    txtPWD->setFixedWidth(113);
    txtDSN->setFixedWidth(145);

    for (auto *field : {txtUSR, txtPWD, txtDSN})
        field->installEventFilter(this);
}

TLogin TLoginBar::Login() const
{
    return {txtUSR->text(), txtPWD->text(), txtDSN->text()};
}

void TLoginBar::SetLogin(const TLogin &login)
{
    txtUSR->setText(login.User);
    txtPWD->setText(login.Password);
    txtDSN->setText(login.Host);
}

bool TLoginBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    const auto &key = static_cast<const QKeyEvent &>(*event);
    if (watched == txtUSR)
        return txtUSRKeyDown(key);
    if (watched == txtPWD)
        return txtPWDKeyDown(key);
    if (watched == txtDSN)
        return txtDSNKeyDown(key);
    return false;
}

// Moving to the next field selects its text, so that typing replaces what was there.
bool TLoginBar::txtUSRKeyDown(const QKeyEvent &key)
{
    if (IsEnter(key) || key.text() == QLatin1String("/")) {
        txtPWD->setFocus(Qt::TabFocusReason);
        return true;
    }
    return false;
}

bool TLoginBar::txtPWDKeyDown(const QKeyEvent &key)
{
    if (IsEnter(key)) {
        if (ShiftAlone(key))
            txtUSR->setFocus(Qt::BacktabFocusReason);
        else
            txtDSN->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (key.text() == QLatin1String("@")) {
        txtDSN->setFocus(Qt::TabFocusReason);
        return true;
    }
    return false;
}

bool TLoginBar::txtDSNKeyDown(const QKeyEvent &key)
{
    if (!IsEnter(key))
        return false;
    if (ShiftAlone(key))
        txtPWD->setFocus(Qt::BacktabFocusReason);
    else
        emit ConnectRequested();
    return true;
}
