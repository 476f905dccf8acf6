// The frame's registry of open child windows: one slot per open child, packed at the front and
// in the order of the tab strip, so that slot i holds the tag of the child whose tab has index i.
// Tags are handed out by the frame and are never reused within a run, so a closed window's tag
// can never be mistaken for a newer window's.
#pragma once

#include <array>

class TChildRegistry {
public:
    // Exactly 255 slots; the frame refuses to open a child when all are taken.
    static constexpr int kSlotCount = 255;

    int Count() const { return FCount; }
    bool Full() const { return FCount == kSlotCount; }

    // Stores tag (> 0) in the first empty slot and returns that slot; -1 when the registry is
    // full or the tag is not a valid one.
    int Add(int tag);
    // The slot that holds tag; -1 when no slot does (0, the tag of a child the frame has not
    // numbered yet, is never found).
    int IndexOf(int tag) const;
    // The tag in slot index; 0 for an empty or out-of-range slot.
    int TagAt(int index) const;
    // Frees the tag's slot and moves the slots after it one place towards the front; returns the
    // slot it held, -1 when the tag was not registered.
    int Remove(int tag);

private:
    std::array<int, kSlotCount> FTags{};
    int FCount = 0;
};
