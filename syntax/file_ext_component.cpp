// The file-extension component.
#include "syntax/file_ext_component.h"

TFileExtComponent::TFileExtComponent(QObject *owner) : TComponent(owner)
{
    FFileExtList = CreateSortedList();
    FileExtListCreated();
}

TFileExtComponent::~TFileExtComponent()
{
    delete FFileExtList;
}

void TFileExtComponent::SetFileExtList(TStrings *value)
{
    if (value == nullptr)
        FFileExtList->Clear();
    else if (value != FFileExtList)
        FFileExtList->Assign(value);
}

bool TFileExtComponent::HasFileExt(const std::string &ext) const
{
    int index = 0;
    return FFileExtList->Find(ext, index);
}

TStringList *TFileExtComponent::CreateSortedList()
{
    auto *list = new TStringList(this);
    list->SetDuplicates(dupIgnore);
    list->SetSorted(true);
    return list;
}

void TFileExtComponent::FileExtListCreated() {}
