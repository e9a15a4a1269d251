#include "verifier/tool/OrderedJobs.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace interview_check::tool {

void RunOrdered(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& deliver,
                const std::function<void(std::size_t)>& progress) {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<bool> finished(count, false);
    std::size_t claimed = 0;
    std::size_t finishedCount = 0;
    std::exception_ptr failure;

    const auto fail = [&](std::exception_ptr error) {
        const std::lock_guard<std::mutex> guard(lock);
        if (!failure)
            failure = error;
        changed.notify_all();
    };
    const auto worker = [&] {
        for (;;) {
            std::size_t item = 0;
            {
                const std::lock_guard<std::mutex> guard(lock);
                if (failure || claimed == count)
                    return;
                item = claimed++;
            }
            try {
                work(item);
            } catch (...) {
                fail(std::current_exception());
            }
            const std::lock_guard<std::mutex> guard(lock);
            finished[item] = true;
            ++finishedCount;
            changed.notify_all();
        }
    };

    {
        std::vector<std::jthread> threads;
        const std::size_t threadCount =
            std::clamp<std::size_t>(jobs, 1, std::max<std::size_t>(count, 1));
        for (std::size_t i = 0; i < threadCount; ++i)
            threads.emplace_back(worker);

        std::size_t delivered = 0;
        std::size_t reported = 0;
        try {
            while (delivered < count) {
                std::size_t ready = delivered;
                std::size_t done = 0;
                {
                    std::unique_lock<std::mutex> guard(lock);
                    changed.wait(guard, [&] { return failure || finishedCount != reported; });
                    if (failure)
                        break;
                    done = finishedCount;
                    while (ready < count && finished[ready])
                        ++ready;
                }
                reported = done;
                progress(done);
                for (; delivered < ready; ++delivered)
                    deliver(delivered);
            }
        } catch (...) {
            fail(std::current_exception());
        }
    } // the threads end here: a worker still busy finishes its item and takes no other
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace interview_check::tool
