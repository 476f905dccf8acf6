// The table list of the left panel and its popup: insert a name, query a table, describe it.
#include "sql/sql_form.h"

#include "classlib/cp932.h"
#include "db/ora_database.h"
#include "editor/editor.h"

#include <QTabWidget>
#include <QTreeWidget>

namespace {
// The tree keeps each name's code page 932 bytes beside its shown text.
constexpr int kNameRole = Qt::UserRole;
}

void TfrmSQL::ClearTableList()
{
    lstTAB->clear();
}

void TfrmSQL::FillTableList()
{
    auto dynaset = Database()->DbCreateDynaset("select table_name from cat", 8);
    ShowDataPage();
    auto field = dynaset->Fields("TABLE_NAME");
    for (; !dynaset->Eof(); dynaset->MoveNext()) {
        const auto *name = std::get_if<std::string>(&field->Value());
        const std::string bytes = name ? *name : std::string();
        auto *item = new QTreeWidgetItem(lstTAB, {cp932::ToUnicode(bytes)});
        item->setData(0, kNameRole, QByteArray::fromStdString(bytes));
    }
}

void TfrmSQL::SelectedTableName(std::string &name, bool &found) const
{
    const QTreeWidgetItem *item = lstTAB->currentItem();
    found = item && item->isSelected();
    if (found)
        name = item->data(0, kNameRole).toByteArray().toStdString();
}

void TfrmSQL::lstTABDblClick()
{
    std::string name;
    bool found = false;
    SelectedTableName(name, found);
    if (!found)
        return;
    txtSQL->SetSelText(" " + name + " ");
    txtSQL->setFocus();
}

void TfrmSQL::mnu_TAB_SELECTClick()
{
    std::string name;
    bool found = false;
    SelectedTableName(name, found);
    if (!found || Busy())
        return;
    txtSQL->SetText("select * from " + name);
    mnu_EXECUTEClick();
}

void TfrmSQL::mnu_TAB_DESCClick()
{
    std::string name;
    bool found = false;
    SelectedTableName(name, found);
    if (!found || Busy())
        return;
    txtSQL->SetText("desc " + name);
    mnu_EXECUTEClick();
}
