// The library is called from C: running out of memory inside it must come back as an error code,
// never as a C++ exception. This program replaces the global allocator (the library's calls bind
// to it) so that allocations fail on demand.
#include "platform/lame_enc/tests/LameEncoderLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

namespace {

thread_local bool allocationsFail = false;

class FailingAllocations {
public:
    FailingAllocations() { allocationsFail = true; }
    ~FailingAllocations() { allocationsFail = false; }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
};

} // namespace

void* operator new(std::size_t size) {
    if (!allocationsFail)
        if (void* memory = std::malloc(size ? size : 1))
            return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

const platform::LameEncEntries& Lame() {
    return mp3test::LameEncoderLibrary();
}

TEST(LameEncBoundary, StreamRefusedForLackOfMemoryIsAnErrorCode) {
    const platform::LameEncEntries& lame = Lame(); // loaded before allocations fail
    BE_CONFIG config = mp3test::ExamRecord();
    BE_DWORD samples = 0;
    BE_DWORD bufferBytes = 0;
    HBE_STREAM stream = 0;
    BE_ERR result = BE_ERR_SUCCESSFUL;
    {
        FailingAllocations failing;
        EXPECT_NO_THROW(result = lame.beInitStream(&config, &samples, &bufferBytes, &stream));
    }
    EXPECT_EQ(result, BE_ERR_NO_MORE_HANDLES);
    EXPECT_EQ(stream, 0u);
    // Nothing was left half made: the next stream opens as usual.
    ASSERT_EQ(lame.beInitStream(&config, &samples, &bufferBytes, &stream), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(lame.beCloseStream(stream), BE_ERR_SUCCESSFUL);
}

TEST(LameEncBoundary, StreamEndedWithoutRoomForItsTagKeepsItsAudio) {
    const platform::LameEncEntries& lame = Lame();
    BE_CONFIG config = mp3test::ExamRecord();
    config.bWriteVBRHeader = 1;
    BE_DWORD samples = 0;
    BE_DWORD bufferBytes = 0;
    HBE_STREAM stream = 0;
    ASSERT_EQ(lame.beInitStream(&config, &samples, &bufferBytes, &stream), BE_ERR_SUCCESSFUL);
    std::vector<std::int16_t> chunk(samples, 1000);
    std::vector<std::uint8_t> output(bufferBytes);
    BE_DWORD bytes = 0;
    ASSERT_EQ(lame.beEncodeChunk(stream, samples, chunk.data(), output.data(), &bytes),
              BE_ERR_SUCCESSFUL);
    BE_ERR result = BE_ERR_INVALID_HANDLE;
    {
        FailingAllocations failing;
        EXPECT_NO_THROW(result = lame.beDeinitStream(stream, output.data(), &bytes));
    }
    EXPECT_EQ(result, BE_ERR_SUCCESSFUL);
    EXPECT_GT(bytes, 0u);
    EXPECT_EQ(lame.beCloseStream(stream), BE_ERR_SUCCESSFUL);
    // The header that could not be kept is reported missing when it is asked for.
    EXPECT_EQ(lame.beWriteVBRHeader("unused.mp3"), BE_ERR_INVALID_HANDLE);
}

} // namespace
