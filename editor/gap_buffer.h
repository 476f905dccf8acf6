// A gap-buffered array of plain items: inserting or deleting at the gap costs no more in a
// million items than in ten, and moving the gap costs one memmove of the items in between. The
// row store keeps its rows in one, so an edit in the middle of a long text stays cheap.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace editor {

template <typename T>
class TGapBuffer {
    static_assert(std::is_trivially_copyable_v<T>, "items are moved with memmove");

public:
    TGapBuffer() = default;
    TGapBuffer(const TGapBuffer &) = delete;
    TGapBuffer &operator=(const TGapBuffer &) = delete;
    ~TGapBuffer() { std::free(FData); }

    int Size() const { return FCapacity - GapLength(); }
    int Capacity() const { return FCapacity; }

    T &operator[](int index) { return FData[index < FGapStart ? index : index + GapLength()]; }
    const T &operator[](int index) const
    {
        return FData[index < FGapStart ? index : index + GapLength()];
    }

    // Inserts count zero-filled items before index (0 <= index <= Size()).
    void InsertZeroed(int index, int count)
    {
        if (count <= 0)
            return;
        if (GapLength() < count)
            Grow(count);
        MoveGap(index);
        std::memset(static_cast<void *>(FData + FGapStart), 0, sizeof(T) * static_cast<std::size_t>(count));
        FGapStart += count;
    }

    // Removes count items from index (the caller has released what they own).
    void Erase(int index, int count)
    {
        if (count <= 0)
            return;
        MoveGap(index);
        FGapEnd += count;
    }

    // Sets the capacity to exactly max(capacity, Size()), gap at the end.
    void SetCapacity(int capacity)
    {
        capacity = std::max(capacity, Size());
        if (capacity == FCapacity)
            return;
        Reallocate(capacity);
    }

    void Clear()
    {
        std::free(FData);
        FData = nullptr;
        FCapacity = FGapStart = FGapEnd = 0;
    }

    // Growth when full: a quarter above 64 items, 16 above 8, else 4; at least what is needed.
    static int GrowthDelta(int capacity)
    {
        return capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
    }

private:
    int GapLength() const { return FGapEnd - FGapStart; }

    void MoveGap(int index)
    {
        if (index < FGapStart) {
            const int n = FGapStart - index;
            std::memmove(static_cast<void *>(FData + FGapEnd - n), FData + index, sizeof(T) * static_cast<std::size_t>(n));
            FGapStart -= n;
            FGapEnd -= n;
        } else if (index > FGapStart) {
            const int n = index - FGapStart;
            std::memmove(static_cast<void *>(FData + FGapStart), FData + FGapEnd, sizeof(T) * static_cast<std::size_t>(n));
            FGapStart += n;
            FGapEnd += n;
        }
    }

    void Grow(int needed)
    {
        const int size = Size();
        Reallocate(std::max(FCapacity + GrowthDelta(FCapacity), size + needed));
    }

    void Reallocate(int capacity)
    {
        const int size = Size();
        const int after = FCapacity - FGapEnd;
        T *data = static_cast<T *>(std::malloc(sizeof(T) * static_cast<std::size_t>(std::max(capacity, 1))));
        if (!data)
            throw std::bad_alloc();
        if (FData) {
            std::memcpy(static_cast<void *>(data), FData, sizeof(T) * static_cast<std::size_t>(FGapStart));
            std::memcpy(static_cast<void *>(data + FGapStart), FData + FGapEnd, sizeof(T) * static_cast<std::size_t>(after));
            std::free(FData);
        }
        FData = data;
        FCapacity = capacity;
        FGapStart = size;
        FGapEnd = capacity;
    }

    T *FData = nullptr;
    int FCapacity = 0;
    int FGapStart = 0;
    int FGapEnd = 0;
};

} // namespace editor
