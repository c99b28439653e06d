// vorpane-sofa-reader FILE: the LV2 plug-in's SOFA reader. Reads the file with libmysofa and
// writes the measured set, or the one line that refuses the file, to its standard output
// (hrtf/SofaSetMessage.h), then ends with status 0. The plug-in runs it as a process of its own
// (lv2/SofaReaderProcess.h), so whatever a damaged file does to libmysofa stays out of the host.
#include "hrtf/SofaFile.h"
#include "hrtf/SofaSetMessage.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace {

bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
    for (size_t at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: vorpane-sofa-reader FILE (run by the Vorpane LV2 plug-in)\n", stderr);
        return 2;
    }
    const std::string path = argv[1];
    std::vector<unsigned char> answer;
    try {
        answer = sofamessage::encode(readSofaFile(path));
    } catch (const std::bad_alloc&) {
        answer = sofamessage::encodeRefusal(path + ": not enough memory to read it");
    } catch (const std::exception& e) {
        answer = sofamessage::encodeRefusal(e.what());
    }
    return writeAll(STDOUT_FILENO, answer) ? 0 : 3;
}
