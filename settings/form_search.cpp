// The search dialog.
#include "settings/form_search.h"

#include "classlib/cp932.h"
#include "editor/find_text.h"
#include "settings/search_settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>

#include <memory>

std::function<void(int helpContext)> TFormSearch::HelpHandler;

namespace {

template <class T> T *Named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TFormSearch::TFormSearch(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormSearch"));
    setWindowTitle(QStringLiteral("検索"));
    setFixedSize(520, 159);

    Label1 = Named(new QLabel(QStringLiteral("検索する文字列(&T):"), this), "Label1");
    Label1->setGeometry(8, 12, 150, 20);
    ComboBox1 = Named(new QComboBox(this), "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);  // the history is kept by OK, not by Enter
    ComboBox1->setGeometry(160, 10, 262, 24);
    Label1->setBuddy(ComboBox1);

    btnOK = Named(new QPushButton(QStringLiteral("OK"), this), "btnOK");
    btnOK->setGeometry(432, 8, 80, 26);
    btnOK->setDefault(true);
    btnCancel = Named(new QPushButton(QStringLiteral("キャンセル"), this), "btnCancel");
    btnCancel->setGeometry(432, 40, 80, 26);
    btnHelp = Named(new QPushButton(QStringLiteral("ヘルプ(&H)"), this), "btnHelp");
    btnHelp->setGeometry(432, 72, 80, 26);
    btnHelp->setProperty("helpContext", HelpContext);
    setProperty("helpContext", HelpContext);  // F1 anywhere in the dialog

    RadioGroup1 = Named(new QGroupBox(QStringLiteral(" 検索方向 "), this), "RadioGroup1");
    RadioGroup1->setGeometry(8, 44, 150, 52);
    FDirection = new QButtonGroup(this);
    const char *const directions[] = {"後方(&B)", "前方(&D)"};
    for (int i = 0; i < 2; ++i) {
        auto *item = new QRadioButton(QString::fromUtf8(directions[i]), RadioGroup1);
        item->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i));
        item->setGeometry(8 + i * 70, 22, 68, 22);
        FDirection->addButton(item, i);
    }

    GroupBox1 = Named(new QGroupBox(QStringLiteral(" ｵﾌﾟｼｮﾝ "), this), "GroupBox1");
    GroupBox1->setGeometry(166, 40, 256, 112);
    auto check = [this](const char *name, const char *caption, int row) {
        auto *box = Named(new QCheckBox(QString::fromUtf8(caption), GroupBox1), name);
        box->setGeometry(10, 20 + row * 22, 240, 22);
        return box;
    };
    chkMatchCase = check("chkMatchCase", "大/小文字の区別(&C)", 0);
    chkWholeWord = check("chkWholeWord", "単語単位で探す(&W)", 1);
    chkNoMatchZenkaku = check("chkNoMatchZenkaku", "全角・半角を区別しない(&Z)", 2);
    chkIncludeCRLF = check("chkIncludeCRLF", "改行・スペースを無視(&L)", 3);

    setTabOrder(ComboBox1, btnOK);
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, btnHelp);
    connect(btnOK, &QPushButton::clicked, this, &TFormSearch::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TFormSearch::btnHelpClick);
    SetDirection(1);
}

int TFormSearch::Direction() const { return FDirection->checkedId(); }

void TFormSearch::SetDirection(int index)
{
    if (QAbstractButton *item = FDirection->button(index))
        item->setChecked(true);
}

unsigned TFormSearch::SearchOptions() const
{
    unsigned options = 0;
    if (Direction() == 1) options |= soDown;
    if (chkMatchCase->isChecked()) options |= soMatchCase;
    if (chkWholeWord->isChecked()) options |= soWholeWord;
    if (chkNoMatchZenkaku->isChecked()) options |= soNoMatchZenkaku;
    if (chkIncludeCRLF->isChecked()) options |= soIgnoreLineBreaks | soIgnoreBlanks;
    return options;
}

void TFormSearch::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormShow();
}

void TFormSearch::FormShow()
{
    FSearchText.clear();
    QSettings store = TSearchSettings::OpenStore();
    const TSearchSettings settings = TSearchSettings::Load(store);
    chkMatchCase->setChecked(settings.MatchCase);
    chkWholeWord->setChecked(settings.WholeWord);
    chkNoMatchZenkaku->setChecked(settings.NoMatchZenkaku);
    chkIncludeCRLF->setChecked(settings.IncludeCRLF);
    SetDirection(settings.Direction);
    ComboBox1->clear();
    ComboBox1->addItems(settings.History);
    if (!settings.History.isEmpty())
        ComboBox1->setCurrentIndex(0);
    ComboBox1->lineEdit()->selectAll();
    ComboBox1->setFocus();
}

void TFormSearch::btnOKClick()
{
    QSettings store = TSearchSettings::OpenStore();
    TSearchSettings settings;
    for (int i = 0; i < ComboBox1->count(); ++i)
        settings.History.append(ComboBox1->itemText(i));
    const QString text = ComboBox1->currentText();
    if (!text.isEmpty()) {
        FSearchText = text;
        settings.Remember(text);
        ComboBox1->clear();
        ComboBox1->addItems(settings.History);
        ComboBox1->setCurrentIndex(0);
    }
    settings.MatchCase = chkMatchCase->isChecked();
    settings.WholeWord = chkWholeWord->isChecked();
    settings.NoMatchZenkaku = chkNoMatchZenkaku->isChecked();
    settings.IncludeCRLF = chkIncludeCRLF->isChecked();
    settings.Direction = Direction();
    settings.Save(store);
    accept();
}

void TFormSearch::btnHelpClick()
{
    if (HelpHandler)
        HelpHandler(HelpContext);
}

bool ShowSearchDialog(std::string &text, unsigned &options, QWidget *parent)
{
    text.clear();
    options = 0;
    const auto dialog = std::make_unique<TFormSearch>(parent);
    if (dialog->exec() != QDialog::Accepted || dialog->SearchText().isEmpty())
        return false;
    text = cp932::FromUnicode(dialog->SearchText());
    options = dialog->SearchOptions();
    return true;
}
