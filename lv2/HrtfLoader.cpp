#include "lv2/HrtfLoader.h"

#include "engine/HrirTable.h"
#include "hrtf/HrirTableMaker.h"

#include <exception>
#include <filesystem>
#include <new>

namespace vorpane::lv2 {

HrtfLoad loadHrtf(const std::string& path, const SofaReaderProcess& reader) {
    HrtfLoad load;
    try {
        std::error_code error;
        load.missing = !std::filesystem::exists(path, error);
        const SofaSet set = reader.read(path);
        MadeTable made = HrirTableMaker().make(set);
        auto loaded = std::make_unique<LoadedHrtf>();
        loaded->path = path;
        loaded->bytes = std::make_shared<const std::vector<unsigned char>>(made.bytes());
        if (loaded->bytes->size() != kHrirTableBytes) {
            load.refusal = path + ": the table made from it has the wrong size";
            return load;
        }
        load.table = std::move(loaded);
    } catch (const std::bad_alloc&) {
        load.refusal = path + ": not enough memory to read it";
    } catch (const std::exception& e) {
        load.refusal = e.what();
    } catch (...) {
        load.refusal = path + ": it cannot be read";
    }
    return load;
}

} // namespace vorpane::lv2
