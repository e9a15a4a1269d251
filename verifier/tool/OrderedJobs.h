// Work items run on a few threads while their results are handed on in their original order.
#pragma once

#include <cstddef>
#include <functional>

namespace interview_check::tool {

// Runs work(i) for every i < count on up to `jobs` threads. On the calling thread, deliver(i) is
// called for i = 0, 1, ... in order, as soon as item i and every item before it have finished, and
// progress(finished) whenever more items have finished. A failure of work or deliver stops the
// items not yet started and is raised here once the threads have ended.
void RunOrdered(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& deliver,
                const std::function<void(std::size_t)>& progress);

} // namespace interview_check::tool
