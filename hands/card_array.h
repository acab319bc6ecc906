#pragma once
// CCardArray: a growable array of CCard values for the odds calculator.

#include <cstddef>
#include <vector>

#include "hands/archive.h"
#include "hands/card.h"

class CCardArray {
  public:
    CCardArray() = default;
    virtual ~CCardArray() = default;
    CCardArray(const CCardArray&) = default;
    CCardArray& operator=(const CCardArray&) = default;

    // Number of elements.
    std::size_t GetSize() const { return cards_.size(); }
    // Sets the number of elements; new elements are zero-filled (index, rank
    // and suit 0, that is the Ace of spades, as the framework array does).
    // `growBy` > 0 sets the step by which storage grows from now on.
    void SetSize(std::size_t size, int growBy = -1);
    // The element at `i`; `i` must be below GetSize().
    const CCard& GetAt(std::size_t i) const;
    CCard& operator[](std::size_t i);
    const CCard& operator[](std::size_t i) const { return GetAt(i); }
    // Sets element `i`, growing the array (zero-filled) when needed.
    void SetAtGrow(std::size_t i, const CCard& card);
    // Appends `card` and returns its position.
    std::size_t Add(const CCard& card);
    void RemoveAll();

    // Storing writes the count (CArchive::WriteCount) and then each element
    // as index, rank, suit (three little-endian 32-bit integers). Loading
    // sets the size to the stored count and reads the records back; a count
    // larger than the bytes left, or a short record, throws
    // CArchiveEndOfFile and leaves the array empty.
    virtual void Serialize(CArchive& archive);

  private:
    void Reserve(std::size_t size);

    std::vector<CCard> cards_;
    int growBy_ = -1;
};
