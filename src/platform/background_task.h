// A piece of work run on a thread of its own while the caller goes on with another.
#pragma once

#include <functional>
#include <system_error>
#include <thread>

namespace tarvel::platform {

// Whether the machine runs two threads at once: only then does splitting work between two
// threads pay for itself.
inline bool runs_threads_side_by_side() {
    return std::thread::hardware_concurrency() >= 2;
}

// Runs `work` on another thread from `start` until `wait`, which the destructor does too. Where
// no thread can be started, `start` runs the work at once, so that it is done all the same.
class c_background_task {
  public:
    c_background_task() = default;
    c_background_task(const c_background_task&) = delete;
    c_background_task& operator=(const c_background_task&) = delete;
    ~c_background_task() { wait(); }

    void start(std::function<void()> work) {
        wait();
        try {
            thread_ = std::thread(work);
        } catch (const std::system_error&) {
            work();  // the system gave no thread: the caller waits for nothing
        }
    }

    // Returns once the work is done.
    void wait() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

  private:
    std::thread thread_;
};

}  // namespace tarvel::platform
