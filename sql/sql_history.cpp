// The history list, the left panel's toggle kept in the program's ini file, the registered
// statements' overlay, and the result grid's commands.
#include "sql/sql_form.h"

#include "classlib/cp932.h"
#include "classlib/string_grid.h"
#include "db/form_helpers.h"
#include "db/message_box.h"
#include "settings/save_prop.h"
#include "sql/registered_sql.h"
#include "sql/statement_text.h"
#include "editor/editor.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kTextRole = Qt::UserRole;
}

void TfrmSQL::AddHistory(const std::string &text)
{
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(lstRIREKI->count()));
    for (int i = 0; i < lstRIREKI->count(); ++i)
        items.push_back(lstRIREKI->item(i)->data(kTextRole).toByteArray().toStdString());
    if (!worksheet::HistoryAccepts(items, text))
        return;
    // The list shows each statement on one line; the item keeps the text as it was run.
    QString shown = cp932::ToUnicode(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String(" "));
    auto *item = new QListWidgetItem(shown.left(200), lstRIREKI);
    item->setData(kTextRole, QByteArray::fromStdString(text));
}

void TfrmSQL::lstRIREKIDblClick()
{
    const QListWidgetItem *item = lstRIREKI->currentItem();
    if (!item || !item->isSelected())
        return;
    txtSQL->SetText(item->data(kTextRole).toByteArray().toStdString());
}

void TfrmSQL::ReadLeftPanelSetting()
{
    auto &ini = Host()->ProgramIni();
    bool shown = false;
    try {
        const std::string value = ini.ReadString("SQL", "RIREKI_TABLE");
        if (value.empty())
            ini.WriteString("SQL", "RIREKI_TABLE", "0");
        else
            shown = ini.ReadInteger("SQL", "RIREKI_TABLE") != 0;
    } catch (const std::exception &) {
        // An ini file that cannot be written leaves the panel hidden; the window still opens.
    }
    PanelLEFT->setVisible(shown);
    mnu_RIREKI_TABLE_VIEW->setChecked(shown);
}

void TfrmSQL::mnu_RIREKI_TABLE_VIEWClick()
{
    const bool shown = !PanelLEFT->isVisible();
    PanelLEFT->setVisible(shown);
    mnu_RIREKI_TABLE_VIEW->setChecked(shown);
    try {
        Host()->ProgramIni().WriteString("SQL", "RIREKI_TABLE", shown ? "1" : "0");
    } catch (const std::exception &error) {
        msgbox::ShowError(this, QString::fromUtf8(error.what()));
    }
}

void TfrmSQL::BuildOverlay()
{
    panelSELSQL = new QFrame(this);
    panelSELSQL->setObjectName(QStringLiteral("panelSELSQL"));
    panelSELSQL->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panelSELSQL->setLineWidth(2);
    panelSELSQL->setAutoFillBackground(true);
    panelSELSQL->resize(357, 447);
    auto *layout = new QVBoxLayout(panelSELSQL);
    layout->setContentsMargins(5, 5, 5, 5);
    auto *title = new QLabel(QStringLiteral("登録SQLの読込"), panelSELSQL);
    title->setAutoFillBackground(true);
    QPalette palette = title->palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    palette.setColor(QPalette::WindowText, Qt::white);
    title->setPalette(palette);
    layout->addWidget(title);
    lstSQL = new QListWidget(panelSELSQL);
    lstSQL->setObjectName(QStringLiteral("lstSQL"));
    lstSQL->setFont(formutil::WindowFont(QStringLiteral("ＭＳ ゴシック"), 19));
    layout->addWidget(lstSQL, 1);
    auto *buttons = new QHBoxLayout;
    btnOK = new QPushButton(QStringLiteral("ＯＫ"), panelSELSQL);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCANCEL = new QPushButton(QStringLiteral("キャンセル"), panelSELSQL);
    btnCANCEL->setObjectName(QStringLiteral("btnCANCEL"));
    for (auto *button : {btnOK, btnCANCEL}) {
        button->setFixedSize(97, 21);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    formutil::SetHelpContext(panelSELSQL, 5013);
    panelSELSQL->hide();
    connect(btnOK, &QPushButton::clicked, this, &TfrmSQL::btnOKClick);
    connect(btnCANCEL, &QPushButton::clicked, this, &TfrmSQL::btnCANCELClick);
    connect(lstSQL, &QListWidget::itemDoubleClicked, this, &TfrmSQL::btnOKClick);
}

void TfrmSQL::mnu_REGSQL_READClick()
{
    if (Busy())
        return;
    PanelLEFT->setEnabled(false);
    panelRIGHT->setEnabled(false);
    QWidget *frame = window();
    panelSELSQL->move(frame->width() / 2 - panelSELSQL->width() / 2, frame->height() / 2 - panelSELSQL->height() / 2);
    // The frame's size gives the place; the overlay must still lie inside the worksheet.
    panelSELSQL->move(std::clamp(panelSELSQL->x(), 0, std::max(0, width() - panelSELSQL->width())),
                      std::clamp(panelSELSQL->y(), 0, std::max(0, height() - panelSELSQL->height())));
    panelSELSQL->show();
    panelSELSQL->raise();
    lstSQL->clear();
    for (const std::string &title : worksheet::ReadRegisteredTitles(FRegisteredSqlFile))
        lstSQL->addItem(cp932::ToUnicode(title));
    if (lstSQL->count() > 0) {
        lstSQL->setCurrentRow(0);
        lstSQL->setFocus();
    }
}

void TfrmSQL::btnOKClick()
{
    const int index = lstSQL->currentRow();
    std::optional<std::string> statement;
    try {
        statement = worksheet::LoadRegisteredStatement(FRegisteredSqlFile, std::max(index, 0));
    } catch (const std::exception &error) {
        // The overlay stays open until cancelled.
        msgbox::ShowError(this, QString::fromUtf8(error.what()));
        return;
    }
    if (!statement) {
        panelSELSQL->hide();
        PanelLEFT->setEnabled(true);
        panelRIGHT->setEnabled(true);
        return;
    }
    txtSQL->SetText(*statement);
    CloseOverlay();
}

void TfrmSQL::btnCANCELClick()
{
    CloseOverlay();
}

void TfrmSQL::CloseOverlay()
{
    panelSELSQL->hide();
    PanelLEFT->setEnabled(true);
    panelRIGHT->setEnabled(true);
    txtSQL->setFocus();
    Host()->ActivateChild(Tag());
}

void TfrmSQL::mnu_GRID_LOCKClick()
{
    grdLOG->SetFixedCols(std::max(1, grdLOG->Col()));
}

void TfrmSQL::mnu_GRID_UNLOCKClick()
{
    grdLOG->SetFixedCols(1);
    grdLOG->Repaint();
}

void TfrmSQL::mnu_GRID_CopyClick()
{
    const TGridRect selection = grdLOG->Selection();
    std::string text;
    for (int row = selection.Top; row <= selection.Bottom; ++row) {
        for (int col = selection.Left; col <= selection.Right; ++col) {
            if (col > selection.Left)
                text += '\t';
            text += grdLOG->CellText(col, row);
        }
        text += "\r\n";
    }
    QApplication::clipboard()->setText(cp932::ToUnicode(text));
}

void TfrmSQL::mnu_GRID_ALLSELECTClick()
{
    const int lastCol = grdLOG->ColCount() - 1;
    const int lastRow = grdLOG->RowCount() - 1;
    grdLOG->FocusCell(lastCol, lastRow, true);
    grdLOG->SetSelection({1, 1, lastCol, lastRow});
}
