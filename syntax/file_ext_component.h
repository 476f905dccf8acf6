// A component that carries a list of file extensions (sorted, duplicates ignored) and can tell
// whether a given extension is one of them. The fountains and the editor's property set derive
// from it.
#pragma once

#include "classlib/persistent.h"
#include "classlib/string_list.h"

#include <string>

class TFileExtComponent : public TComponent {
    Q_OBJECT
    Q_PROPERTY(TStrings *FileExtList READ FileExtList WRITE SetFileExtList)
public:
    // Makes FileExtList (with this class's CreateSortedList) and calls FileExtListCreated.
    explicit TFileExtComponent(QObject *owner = nullptr);
    ~TFileExtComponent() override;

    TStrings *FileExtList() const { return FFileExtList; }
    // Copies the strings (null clears the list).
    virtual void SetFileExtList(TStrings *value);
    // True when ext is in FileExtList, compared case-insensitively.
    virtual bool HasFileExt(const std::string &ext) const;

protected:
    // A new string list owned by this object, sorted, duplicates ignored.
    virtual TStringList *CreateSortedList();
    // Called right after FileExtList is made; does nothing here.
    virtual void FileExtListCreated();

private:
    TStringList *FFileExtList = nullptr;
};
