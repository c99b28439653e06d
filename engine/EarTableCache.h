// The process's ear tables: one per source table and rate, shared by every instance that renders
// that source at that rate. A table is made when the first instance asks for it, on the asking
// thread (never the audio thread: hosts set the rate on their own threads), and goes, with the
// cache's note of it, when the last instance lets it go: with no instance left, the cache holds
// no memory. The tables are never changed after they are made, so any number of instances may
// read them at once.
#pragma once

#include "engine/EarTable.h"
#include "engine/HrirTable.h"

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>

namespace vorpane {

class EarTableCache {
  public:
    EarTableCache() = default;
    EarTableCache(const EarTableCache&) = delete;
    EarTableCache& operator=(const EarTableCache&) = delete;

    // The one cache of the process, never destroyed, so that a table outliving the process's
    // static objects can still go.
    static EarTableCache& process();

    // The table of source at rate (one that supportedRate() gives), made now if no instance
    // holds it. keepAlive owns the source's bytes; the table holds it, so that the bytes cannot
    // be freed and their address reused for another table while the table lives. Null for the
    // built-in table. Waits while another thread makes a table. Throws std::bad_alloc when memory
    // runs out.
    std::shared_ptr<const EarTable> tableFor(HrirTable source, double rate,
                                             std::shared_ptr<const void> keepAlive = nullptr);

    // The tables that instances hold now, and their memory.
    size_t tablesHeld() const;
    size_t bytesHeld() const;

  private:
    struct Entry {
        const unsigned char* source;
        double rate;
        std::weak_ptr<const EarTable> table;
    };

    // Recursive: a table that fails to be handed out goes while tableFor holds the lock.
    mutable std::recursive_mutex mutex;
    std::list<Entry> entries;
};

// The built-in table at the rate the engine uses for a rate a host sets (supportedRate()).
std::shared_ptr<const EarTable> builtInEarTable(double hostRate);

} // namespace vorpane
