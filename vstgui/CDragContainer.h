#pragma once

#include "vstgui/CReferenceCounter.h"

#include <cstdint>

namespace VSTGUI {

// The data of a drag over a frame: the platform's drag object (not owned) and how many items it
// carries (one for text, else the number of files).
class CDragContainer : public CReferenceCounter {
  public:
    CDragContainer(void* platformDrag, int32_t itemCount)
        : platformDrag(platformDrag), nbItems(itemCount) {}

    void* getPlatformDrag() const { return platformDrag; }
    int32_t getCount() const { return nbItems; }

  private:
    void* platformDrag = nullptr;
    int32_t nbItems = 0;
};

} // namespace VSTGUI
