// How the worksheet dresses its two editors: the statement editor txtSQL with the worksheet's
// colouring, and the log txtLOG that shows plain text with the plan words in bold blue.
#pragma once

class TEditor;

namespace worksheet {

void DressStatementEditor(TEditor &editor);
void DressLogEditor(TEditor &editor);

} // namespace worksheet
