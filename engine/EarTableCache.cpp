#include "engine/EarTableCache.h"

#include "engine/SampleRates.h"
#include "engine/TableResampler.h"

#include <algorithm>

namespace vorpane {

namespace {

// A table together with what keeps its source alive.
struct KeptTable {
    EarTable table;
    std::shared_ptr<const void> keepAlive;
};

} // namespace

EarTableCache& EarTableCache::process() {
    static EarTableCache cache;
    return cache;
}

std::shared_ptr<const EarTable> EarTableCache::tableFor(HrirTable source, double rate,
                                                        std::shared_ptr<const void> keepAlive) {
    const std::lock_guard<std::mutex> lock(mutex);
    for (const Entry& entry : entries)
        if (entry.source == source.data() && entry.rate == rate)
            if (auto table = entry.table.lock()) return table;
    std::erase_if(entries, [](const Entry& entry) { return entry.table.expired(); });
    // Room for the entry first, so that a failure leaves nothing half made.
    entries.reserve(entries.size() + 1);
    auto kept =
        std::make_shared<KeptTable>(KeptTable{resampleTable(source, rate), std::move(keepAlive)});
    std::shared_ptr<const EarTable> table(kept, &kept->table);
    entries.push_back(Entry{source.data(), rate, table});
    return table;
}

size_t EarTableCache::tablesHeld() const {
    const std::lock_guard<std::mutex> lock(mutex);
    return static_cast<size_t>(std::count_if(
        entries.begin(), entries.end(), [](const Entry& entry) { return !entry.table.expired(); }));
}

size_t EarTableCache::bytesHeld() const {
    const std::lock_guard<std::mutex> lock(mutex);
    size_t bytes = 0;
    for (const Entry& entry : entries)
        if (auto table = entry.table.lock()) bytes += table->bytes();
    return bytes;
}

std::shared_ptr<const EarTable> builtInEarTable(double hostRate) {
    return EarTableCache::process().tableFor(embeddedHrirTable(), supportedRate(hostRate));
}

} // namespace vorpane
