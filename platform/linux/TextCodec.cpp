#include "platform/TextCodec.h"

#include "platform/FailureCause.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace platform {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(::iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw Failure(std::string("Text conversion from ") + from + " to " + to +
                          " is not available");
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() { ::iconv_close(handle_); }

    // Converts as much as possible; returns the errno of the stop, or 0 when all input was taken.
    int Convert(std::string_view& input, std::string& output) {
        char buffer[1024];
        while (!input.empty()) {
            char* in = const_cast<char*>(input.data());
            std::size_t inLeft = input.size();
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = ::iconv(handle_, &in, &inLeft, &out, &outLeft);
            const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            input.remove_prefix(input.size() - inLeft);
            if (error != 0 && error != E2BIG)
                return error;
        }
        return 0;
    }

private:
    iconv_t handle_;
};

// The bytes of the one character at the front that could not be converted: its lead byte and the
// continuation bytes that follow it, so that a truncated sequence never swallows the next
// character.
std::size_t UnmappableLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t length = 1;
    while (length < expected && length < text.size() &&
           (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

} // namespace

std::string Utf8ToWindows1251(std::string_view utf8) {
    Converter converter("WINDOWS-1251", "UTF-8");
    std::string result;
    result.reserve(utf8.size());
    while (converter.Convert(utf8, result) != 0) {
        result += '?';
        utf8.remove_prefix(UnmappableLength(utf8));
    }
    return result;
}

std::string Windows1251ToUtf8(std::string_view text) {
    Converter converter("UTF-8", "WINDOWS-1251");
    std::string result;
    result.reserve(text.size() * 2);
    // Windows-1251 leaves only 0x98 undefined; it becomes "?" like any other unmappable byte.
    while (converter.Convert(text, result) != 0) {
        result += '?';
        text.remove_prefix(1);
    }
    return result;
}

std::size_t Utf8Length(std::string_view utf8) {
    std::size_t count = 0;
    for (const char byte : utf8)
        if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80)
            ++count;
    return count;
}

} // namespace platform
