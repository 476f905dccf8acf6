// String lists: the operations of TStrings built on a subclass's storage, and TStringList's
// own storage, sorting and change events.
#include "classlib/string_list.h"

#include "classlib/cp932.h"
#include "classlib/errors.h"

#include <QFile>

#include <algorithm>

// ---------------------------------------------------------------- TStrings

TStrings::TStrings(QObject *parent) : TPersistent(parent) {}

TStrings::~TStrings() = default;

void TStrings::Put(int index, const std::string &s)
{
    void *object = GetObject(index);
    TUpdateScope scope(*this);
    Delete(index);
    InsertObject(index, s, object);
}

void *TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::PutObject(int, void *) {}

int TStrings::Add(const std::string &s)
{
    return AddObject(s, nullptr);
}

int TStrings::AddObject(const std::string &s, void *object)
{
    const int index = Count();
    InsertObject(index, s, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string &s, void *object)
{
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::Exchange(int index1, int index2)
{
    TUpdateScope scope(*this);
    const std::string text1 = Get(index1);
    void *object1 = GetObject(index1);
    const std::string text2 = Get(index2);
    void *object2 = GetObject(index2);
    Put(index1, text2);
    PutObject(index1, object2);
    Put(index2, text1);
    PutObject(index2, object1);
}

void TStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    TUpdateScope scope(*this);
    const std::string text = Get(curIndex);
    void *object = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, text, object);
}

void TStrings::AddStrings(const TStrings &strings)
{
    TUpdateScope scope(*this);
    const int count = strings.Count();  // strings may be this list
    for (int i = 0; i < count; ++i)
        AddObject(strings.Get(i), strings.GetObject(i));
}

int TStrings::IndexOf(const std::string &s) const
{
    for (int i = 0, count = Count(); i < count; ++i) {
        if (cp932::SameText(Get(i), s))
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const void *object) const
{
    for (int i = 0, count = Count(); i < count; ++i) {
        if (GetObject(i) == object)
            return i;
    }
    return -1;
}

std::vector<std::string> TStrings::ToVector() const
{
    std::vector<std::string> result;
    result.reserve(static_cast<size_t>(Count()));
    for (int i = 0, count = Count(); i < count; ++i)
        result.push_back(Get(i));
    return result;
}

bool TStrings::Equals(const TStrings &other) const
{
    if (Count() != other.Count())
        return false;
    for (int i = 0, count = Count(); i < count; ++i) {
        if (Get(i) != other.Get(i))
            return false;
    }
    return true;
}

std::string TStrings::Text() const
{
    std::string result;
    for (int i = 0, count = Count(); i < count; ++i) {
        result += Get(i);
        result += "\r\n";
    }
    return result;
}

void TStrings::SetText(const std::string &text)
{
    TUpdateScope scope(*this);
    Clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            Add(text.substr(start));
            break;
        }
        Add(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
}

namespace {

bool NeedsQuotes(const std::string &s)
{
    if (s.empty())
        return true;
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= ' ' || c == ',' || c == '"';
    });
}

std::string Quoted(const std::string &s)
{
    std::string result = "\"";
    for (char c : s) {
        result += c;
        if (c == '"')
            result += '"';
    }
    result += '"';
    return result;
}

} // namespace

std::string TStrings::CommaText() const
{
    std::string result;
    for (int i = 0, count = Count(); i < count; ++i) {
        if (i > 0)
            result += ',';
        const std::string item = Get(i);
        result += NeedsQuotes(item) ? Quoted(item) : item;
    }
    return result;
}

void TStrings::SetCommaText(const std::string &text)
{
    TUpdateScope scope(*this);
    Clear();
    size_t pos = 0;
    const auto isBlank = [&](size_t p) {
        return p < text.size() && static_cast<unsigned char>(text[p]) <= ' ';
    };
    while (isBlank(pos))
        ++pos;
    while (pos < text.size()) {
        std::string item;
        if (text[pos] == '"') {
            ++pos;
            while (pos < text.size()) {
                if (text[pos] == '"') {
                    if (pos + 1 < text.size() && text[pos + 1] == '"') {
                        item += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                item += text[pos++];
            }
        } else {
            // Double-byte characters are copied whole: a trail byte may look like "," or " ".
            while (pos < text.size() && text[pos] != ',' && !isBlank(pos)) {
                const size_t length = cp932::CharLength(text, pos);
                item.append(text, pos, length);
                pos += length;
            }
        }
        Add(item);
        while (isBlank(pos))
            ++pos;
        if (pos < text.size() && text[pos] == ',') {
            ++pos;
            while (isBlank(pos))
                ++pos;
            if (pos == text.size())
                Add(std::string());  // a trailing comma ends an empty item
        }
    }
}

void TStrings::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Clear();
        throw EFOpenError::CannotOpen(fileName, file.errorString());
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EReadError(QStringLiteral("ファイル %1 の読み込みに失敗しました。%2")
                             .arg(fileName, file.errorString()));
    SetText(data.toStdString());
}

void TStrings::SaveToFile(const QString &fileName) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EFCreateError::CannotCreate(fileName, file.errorString());
    const std::string text = Text();
    const qint64 written = file.write(text.data(), static_cast<qint64>(text.size()));
    if (written != static_cast<qint64>(text.size()) || !file.flush())
        throw EWriteError(QStringLiteral("ファイル %1 の書き込みに失敗しました。%2")
                              .arg(fileName, file.errorString()));
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::Assign(const TPersistent *source)
{
    if (const auto *strings = qobject_cast<const TStrings *>(source)) {
        if (strings == this)
            return;
        TUpdateScope scope(*this);
        Clear();
        AddStrings(*strings);
        return;
    }
    TPersistent::Assign(source);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Error(int index) const
{
    throw EListError::IndexOutOfBounds(index);
}

// ---------------------------------------------------------------- TStringList

namespace {

EListError SortedListError()
{
    return EListError(QStringLiteral("ソートされたリストではこの操作はできません"));
}

EListError DuplicateError()
{
    return EListError(QStringLiteral("文字列リストに重複は許可されていません"));
}

} // namespace

TStringList::TStringList(QObject *parent) : TStrings(parent) {}

TStringList::~TStringList() = default;

int TStringList::Count() const
{
    return static_cast<int>(FItems.size());
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        Error(index);
}

std::string TStringList::Get(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].text;
}

void TStringList::Put(int index, const std::string &s)
{
    if (FSorted)
        throw SortedListError();
    CheckIndex(index);
    Changing();
    FItems[static_cast<size_t>(index)].text = s;
    Changed();
}

void *TStringList::GetObject(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].object;
}

void TStringList::PutObject(int index, void *object)
{
    CheckIndex(index);
    Changing();
    FItems[static_cast<size_t>(index)].object = object;
    Changed();
}

void TStringList::Insert(int index, const std::string &s)
{
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const std::string &s, void *object)
{
    if (FSorted)
        throw SortedListError();
    if (index < 0 || index > Count())
        Error(index);
    InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const std::string &s, void *object)
{
    Changing();
    FItems.insert(FItems.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    FItems.clear();
    Changed();
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
    Changed();
}

int TStringList::AddObject(const std::string &s, void *object)
{
    int index = Count();
    if (FSorted && Find(s, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            throw DuplicateError();
        // dupAccept: after the equal items already present, so that they keep their order.
        while (index < Count() && CompareStrings(FItems[static_cast<size_t>(index)].text, s) == 0)
            ++index;
    }
    InsertItem(index, s, object);
    return index;
}

int TStringList::IndexOf(const std::string &s) const
{
    if (!FSorted)
        return TStrings::IndexOf(s);
    int index = 0;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string &s, int &index) const
{
    int low = 0;
    int high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int order = CompareStrings(FItems[static_cast<size_t>(middle)].text, s);
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (order == 0)
                found = true;  // keep going left: the first equal item is the answer
        }
    }
    index = low;
    return found;
}

void TStringList::Sort()
{
    Changing();
    std::stable_sort(FItems.begin(), FItems.end(), [this](const Item &a, const Item &b) {
        return CompareStrings(a.text, b.text) < 0;
    });
    Changed();
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted == FSorted)
        return;
    if (sorted)
        Sort();
    FSorted = sorted;
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating) {
        if (OnChanging)
            OnChanging(this);
    } else {
        if (OnChange)
            OnChange(this);
    }
}

int TStringList::CompareStrings(const std::string &a, const std::string &b) const
{
    return cp932::CompareText(a, b);
}
