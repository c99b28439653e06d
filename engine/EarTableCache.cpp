#include "engine/EarTableCache.h"

#include "engine/SampleRates.h"
#include "engine/TableResampler.h"

#include <algorithm>

namespace vorpane {

EarTableCache& EarTableCache::process() {
    static EarTableCache cache;
    return cache;
}

std::shared_ptr<const EarTable> EarTableCache::tableFor(HrirTable source, double rate,
                                                        std::shared_ptr<const void> keepAlive) {
    const std::lock_guard<std::mutex> lock(mutex);
    for (const Entry& entry : entries)
        if (entry.source == source.data() && entry.rate == rate) return entry.table;
    releaseUnusedLocked();
    // Room for the entry first, so that a failure leaves nothing half made.
    entries.reserve(entries.size() + 1);
    auto table = std::make_shared<const EarTable>(resampleTable(source, rate));
    entries.push_back(Entry{source.data(), rate, std::move(keepAlive), table});
    return table;
}

void EarTableCache::releaseUnused() {
    const std::lock_guard<std::mutex> lock(mutex);
    releaseUnusedLocked();
}

void EarTableCache::releaseUnusedLocked() {
    // Only the cache hands out new holders of a table, under the lock, so a table held by the
    // cache alone stays unheld until it is freed here.
    std::erase_if(entries, [](const Entry& entry) { return entry.table.use_count() == 1; });
}

size_t EarTableCache::tablesHeld() const {
    const std::lock_guard<std::mutex> lock(mutex);
    return entries.size();
}

size_t EarTableCache::bytesHeld() const {
    const std::lock_guard<std::mutex> lock(mutex);
    size_t bytes = 0;
    for (const Entry& entry : entries)
        bytes += entry.table->bytes();
    return bytes;
}

std::shared_ptr<const EarTable> builtInEarTable(double hostRate) {
    return EarTableCache::process().tableFor(embeddedHrirTable(), supportedRate(hostRate));
}

} // namespace vorpane
