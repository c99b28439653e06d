// Hands an ear table from the thread that makes it to the engine that renders with it. A host
// may set the rate on any thread while the audio thread renders; the new table then waits here
// until the output restarts (resume), where the engine takes it up. Neither side waits for the
// other, and taking a table up allocates and frees nothing: a table given up is let go by the
// next offer or with the hand-over itself, on the host's thread that calls them.
#pragma once

#include "engine/EarTable.h"

#include <atomic>
#include <memory>

namespace vorpane {

class TableHandOver {
  public:
    explicit TableHandOver(std::shared_ptr<const EarTable> initial);
    ~TableHandOver();

    TableHandOver(const TableHandOver&) = delete;
    TableHandOver& operator=(const TableHandOver&) = delete;

    // Any thread but the audio thread: the table to take up at the next restart, in place of one
    // offered before and not taken up yet. Throws std::bad_alloc when memory runs out.
    void offer(std::shared_ptr<const EarTable> table);
    // Where the output restarts: takes up the table offered last, if any; true when it did.
    bool takeUp();
    // The table in use, read by the audio thread between restarts.
    const EarTable& current() const { return *inUse; }

  private:
    using Holder = std::shared_ptr<const EarTable>;

    Holder inUse;
    std::atomic<Holder*> offered{nullptr};
    std::atomic<Holder*> retired{nullptr}; // the table given up last
};

} // namespace vorpane
