#include "engine/TableHandOver.h"

#include <utility>

namespace vorpane {

TableHandOver::TableHandOver(std::shared_ptr<const EarTable> initial) : inUse(std::move(initial)) {}

TableHandOver::~TableHandOver() {
    delete offered.exchange(nullptr);
    delete retired.exchange(nullptr);
}

void TableHandOver::offer(std::shared_ptr<const EarTable> table) {
    auto* holder = new Holder(std::move(table));
    delete retired.exchange(nullptr, std::memory_order_acq_rel);
    delete offered.exchange(holder, std::memory_order_acq_rel);
}

bool TableHandOver::takeUp() {
    Holder* next = offered.exchange(nullptr, std::memory_order_acq_rel);
    if (!next) return false;
    std::swap(inUse, *next); // next now holds the table given up
    // Empty unless two offers raced two restarts; the one given up before is freed then.
    delete retired.exchange(next, std::memory_order_acq_rel);
    return true;
}

} // namespace vorpane
