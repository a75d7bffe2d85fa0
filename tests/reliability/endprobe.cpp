// endprobe: a process that ends through ProcessEnd::now while one of its threads is on its way
// out, ending its thread-local objects, and stays there.
//
//   endprobe
//
// Writes "ending" on standard output, without a line end, and exits with status 3. Where the end
// waits for that thread's clean-up, the process never ends.

#include "core/files/processend.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

std::mutex lock;
std::condition_variable changed;
bool cleaningUp = false;

// Ended as its thread ends: says so, then never returns.
struct EndsNever {
    ~EndsNever()
    {
        {
            const std::lock_guard<std::mutex> hold(lock);
            cleaningUp = true;
        }
        changed.notify_all();
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    }
};

} // namespace

int main()
{
    std::thread([] {
        thread_local EndsNever endsNever;
        (void)&endsNever;
    }).detach();
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, [] { return cleaningUp; });
    std::printf("ending");
    ProcessEnd::now(3);
}
