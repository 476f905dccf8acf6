// The About box.
#include "app/about_box.h"

#include "app/ver_info.h"
#include "db/form_helpers.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLabel *MakeLink(QWidget *parent, const char *name, const QString &address)
{
    auto *label = MakeLabel(parent, name, address);
    label->setStyleSheet(QStringLiteral("color: blue;"));
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    formutil::SetHelpContext(this, 7001);
    setFixedSize(225, 168);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);

    ProgramIcon = MakeLabel(panel, "ProgramIcon", {});
    ProgramIcon->setPixmap(QIcon(QStringLiteral(":/kestrim/kestrim.png")).pixmap(32, 32));
    ProgramIcon->setFixedSize(32, 32);
    ProductName = MakeLabel(panel, "ProductName", QStringLiteral("Kestrim"));
    QFont productFont = ProductName->font();
    productFont.setBold(true);
    ProductName->setFont(productFont);
    Version = MakeLabel(panel, "Version", QStringLiteral("Version"));
    Copyright = MakeLabel(panel, "Copyright", QStringLiteral("Kestrim の開発者"));
    URL = MakeLink(panel, "URL", QStringLiteral("https://kestrim.example.org/"));
    MAIL = MakeLink(panel, "MAIL", QStringLiteral("mailto:kestrim@example.org"));
    URL->installEventFilter(this);
    MAIL->installEventFilter(this);

    auto *header = new QHBoxLayout;
    header->addWidget(ProgramIcon, 0, Qt::AlignTop);
    auto *names = new QVBoxLayout;
    names->addWidget(ProductName);
    names->addWidget(Version);
    header->addLayout(names, 1);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(8, 6, 8, 6);
    panelLayout->addLayout(header);
    panelLayout->addWidget(Copyright);
    panelLayout->addWidget(URL);
    panelLayout->addWidget(MAIL);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(panel, 1);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
}

void TAboutBox::LoadVersion(const QString &programFile)
{
    TVerInfo info(programFile);
    Version->setText(QStringLiteral("Version ") + info.Major() + QLatin1Char('.') + info.Minor() +
                     QLatin1Char('.') + info.Release());
}

void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    // The Kanji key of Japanese keyboards (half-width/full-width on Linux keyboards) closes the
    // box like OK.
    if (event->key() == Qt::Key_Kanji || event->key() == Qt::Key_Zenkaku_Hankaku) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
        (watched == URL || watched == MAIL)) {
        LinkClick(static_cast<QLabel *>(watched));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::LinkClick(const QLabel *label)
{
    QDesktopServices::openUrl(QUrl(label->text()));
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
