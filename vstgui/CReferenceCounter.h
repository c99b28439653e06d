#pragma once

#include <cstdint>

namespace VSTGUI {

// Base of every shared toolkit object (views, bitmaps, drawing contexts, drag containers). An
// object starts with one reference that belongs to its creator; whoever keeps it elsewhere calls
// remember(), and every holder calls forget() when done. The last forget() deletes the object.
// Not thread-safe: toolkit objects live on the thread that owns the editor window.
class CReferenceCounter {
  public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;
    virtual ~CReferenceCounter() = default;

    virtual void forget() {
        if (--nbReference == 0) delete this;
    }
    virtual void remember() { ++nbReference; }

    int32_t getNbReference() const { return nbReference; }

  private:
    int32_t nbReference = 1;
};

} // namespace VSTGUI
