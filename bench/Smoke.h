// The command line every benchmark program shares: `--smoke` anywhere asks for a run of a few
// seconds that only shows the program still works end to end (the test command runs each one so);
// the other words are the program's own positional arguments, in order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bench {

struct Arguments {
    Arguments(int argc, char** argv) {
        for (int i = 1; i < argc; ++i) {
            if (std::string_view(argv[i]) == "--smoke")
                smoke = true;
            else
                positional.emplace_back(argv[i]);
        }
    }

    // The positional argument `index`, or `fallback` when there are fewer.
    std::string Or(std::size_t index, std::string fallback) const {
        return index < positional.size() ? positional[index] : std::move(fallback);
    }

    bool smoke = false;
    std::vector<std::string> positional;
};

} // namespace bench
