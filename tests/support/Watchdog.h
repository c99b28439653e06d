// Ends a test process that stops making progress: a call that should return at once but never
// does would otherwise hang the run. It watches the whole scope it lives in, not each call.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace testsupport {

class Watchdog {
  public:
    Watchdog(std::chrono::seconds patience, std::string what)
        : thread([this, patience, what = std::move(what)] {
              std::unique_lock<std::mutex> lock(mutex);
              if (done.wait_for(lock, patience, [this] { return finished; })) return;
              std::fprintf(stderr, "watchdog: %s within %lld s\n", what.c_str(),
                           static_cast<long long>(patience.count()));
              std::abort();
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            finished = true;
        }
        done.notify_one();
        thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread thread; // last: it starts once the rest is made
};

} // namespace testsupport
