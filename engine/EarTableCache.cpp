#include "engine/EarTableCache.h"

#include "engine/SampleRates.h"
#include "engine/TableResampler.h"

#include <iterator>
#include <new>

namespace vorpane {

namespace {

// A table together with what keeps its source alive.
struct KeptTable {
    EarTable table;
    std::shared_ptr<const void> keepAlive;
};

} // namespace

EarTableCache& EarTableCache::process() {
    alignas(EarTableCache) static unsigned char storage[sizeof(EarTableCache)];
    static EarTableCache* const cache = new (storage) EarTableCache();
    return *cache;
}

std::shared_ptr<const EarTable> EarTableCache::tableFor(HrirTable source, double rate,
                                                        std::shared_ptr<const void> keepAlive) {
    const std::lock_guard<std::recursive_mutex> lock(mutex);
    for (const Entry& entry : entries)
        if (entry.source == source.data() && entry.rate == rate)
            if (auto table = entry.table.lock()) return table;
    auto kept =
        std::make_unique<KeptTable>(KeptTable{resampleTable(source, rate), std::move(keepAlive)});
    entries.push_back(Entry{source.data(), rate, {}});
    const auto entry = std::prev(entries.end());
    KeptTable* const made = kept.release();
    // The last holder's release takes the entry and the table away; so does a failure to make
    // the holder, here.
    std::shared_ptr<const EarTable> table(&made->table, [this, entry, made](const EarTable*) {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        entries.erase(entry);
        delete made;
    });
    entry->table = table;
    return table;
}

size_t EarTableCache::tablesHeld() const {
    const std::lock_guard<std::recursive_mutex> lock(mutex);
    return entries.size();
}

size_t EarTableCache::bytesHeld() const {
    const std::lock_guard<std::recursive_mutex> lock(mutex);
    size_t bytes = 0;
    for (const Entry& entry : entries)
        if (auto table = entry.table.lock()) bytes += table->bytes();
    return bytes;
}

std::shared_ptr<const EarTable> builtInEarTable(double hostRate) {
    return EarTableCache::process().tableFor(embeddedHrirTable(), supportedRate(hostRate));
}

} // namespace vorpane
