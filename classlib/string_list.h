// String lists: TStrings, the abstract list of code page 932 lines with an object pointer per
// line, and TStringList, the list that stores them (optionally sorted, with a duplicates rule and
// change events). Other lists of the system (the editor's rows and lines) derive from TStrings.
//
// Items are code page 932 bytes. Case-insensitive comparison folds single-byte a-z only; trail
// bytes of double-byte characters are compared as they are, so two different kanji never compare
// equal. The object pointer is not owned by the list.
#pragma once

#include "classlib/persistent.h"

#include <QString>

#include <string>
#include <vector>

class TStrings : public TPersistent {
    Q_OBJECT
public:
    explicit TStrings(QObject *parent = nullptr);
    ~TStrings() override;

    // --- The storage a subclass provides.
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Insert(int index, const std::string &s) = 0;  // index may equal Count
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Default Put: delete and insert again, keeping the object. Default objects: none.
    virtual void Put(int index, const std::string &s);
    virtual void *GetObject(int index) const;
    virtual void PutObject(int index, void *object);

    // --- Operations built on the storage.
    virtual int Add(const std::string &s);  // returns the new item's index
    virtual int AddObject(const std::string &s, void *object);
    virtual void InsertObject(int index, const std::string &s, void *object);
    virtual void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    void AddStrings(const TStrings &strings);
    // First index of s compared case-insensitively, or -1.
    virtual int IndexOf(const std::string &s) const;
    int IndexOfObject(const void *object) const;
    std::string operator[](int index) const { return Get(index); }
    std::vector<std::string> ToVector() const;
    bool Equals(const TStrings &other) const;  // same items in the same order, case-sensitive

    // Every item followed by CR LF. SetText splits at CR LF, LF or CR; a final line break does
    // not make an empty last item.
    virtual std::string Text() const;
    virtual void SetText(const std::string &text);
    // Items separated by commas; empty items and items holding a blank, comma, quote or control
    // character are quoted with '"' (a quote doubled). SetCommaText also splits at blanks outside quotes.
    std::string CommaText() const;
    void SetCommaText(const std::string &text);

    // Whole file as Text (code page 932 bytes as stored). Open failures raise EFOpenError
    // (after the list was cleared, for Load), create failures EFCreateError, short writes
    // EWriteError, read failures EReadError.
    virtual void LoadFromFile(const QString &fileName);
    virtual void SaveToFile(const QString &fileName) const;

    // Nested update scope: SetUpdateState(true) on the first BeginUpdate, (false) on the last
    // EndUpdate.
    void BeginUpdate() override;
    void EndUpdate() override;
    int UpdateCount() const { return FUpdateCount; }

    // From another TStrings: items and objects replace this list's content in one update scope.
    void Assign(const TPersistent *source) override;

protected:
    virtual void SetUpdateState(bool updating);
    // Raises the list-index error for index.
    [[noreturn]] void Error(int index) const;

private:
    int FUpdateCount = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
    Q_OBJECT
public:
    explicit TStringList(QObject *parent = nullptr);
    ~TStringList() override;

    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string &s) override;  // not allowed while sorted
    void *GetObject(int index) const override;
    void PutObject(int index, void *object) override;
    void Insert(int index, const std::string &s) override;  // not allowed while sorted
    void InsertObject(int index, const std::string &s, void *object) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    // Sorted: inserted at its place; an equal item (case-insensitive) already present is handled
    // by Duplicates (dupIgnore returns its index, dupError raises EListError).
    int AddObject(const std::string &s, void *object) override;
    int IndexOf(const std::string &s) const override;

    // Bisection over a sorted list: true when found (index = the first equal item), else false
    // with index = where s would be inserted. On an unsorted list the answer is meaningless.
    virtual bool Find(const std::string &s, int &index) const;
    virtual void Sort();

    bool Sorted() const { return FSorted; }
    void SetSorted(bool sorted);  // sorting an unsorted list keeps equal items in order
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates duplicates) { FDuplicates = duplicates; }

    // Called before and after every change while no update scope is open (and around a whole
    // update scope); sender is the list.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool updating) override;
    // Case-insensitive comparison used by sorting and Find.
    virtual int CompareStrings(const std::string &a, const std::string &b) const;

private:
    struct Item {
        std::string text;
        void *object = nullptr;
    };
    void CheckIndex(int index) const;
    void InsertItem(int index, const std::string &s, void *object);

    std::vector<Item> FItems;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
};
