// The pull protocol between stages: opening, reading, the cut at Size, the sticky end of data, the
// copying read, the format getters and the exchange and removal of inputs.
#include "audio/tests/TestChain.h"

#include <gtest/gtest.h>

#include <numeric>

namespace audio::test {
namespace {

std::vector<std::uint8_t> Counting(std::size_t Count) {
    std::vector<std::uint8_t> data(Count);
    std::iota(data.begin(), data.end(), std::uint8_t{0});
    return data;
}

struct Chain {
    TComponentPtr<TMemorySource> Source = MakeComponent<TMemorySource>();
    TComponentPtr<TPassConverter> Converter = MakeComponent<TPassConverter>();
    Chain() { Converter->SetInput(Source.get()); }
};

TEST(ReadingProtocol, ConverterCutsTheBlockThatCrossesSizeAndThenStopsReading) {
    Chain chain;
    chain.Source->Data = Counting(3000);
    chain.Source->BlockLimit = 300;
    chain.Converter->AnnouncedSize = 1000;
    chain.Converter->Open();

    std::vector<std::uint32_t> sizes;
    const void* block = nullptr;
    for (int i = 0; i < 4; ++i) {
        std::uint32_t bytes = 4096;
        chain.Converter->ReadBlock(block, bytes);
        sizes.push_back(bytes);
    }
    EXPECT_EQ(sizes, (std::vector<std::uint32_t>{300, 300, 300, 100}));
    EXPECT_TRUE(chain.Converter->EndOfData());
    // The position keeps the unreduced sum.
    EXPECT_EQ(chain.Converter->Position(), 1200);

    const int readsBefore = chain.Source->Reads;
    std::uint32_t bytes = 4096;
    chain.Converter->ReadBlock(block, bytes);
    EXPECT_EQ(bytes, 0u);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(chain.Source->Reads, readsBefore) << "a finished converter must not read its input";

    // Open starts a fresh pass.
    chain.Converter->Close();
    chain.Converter->Open();
    EXPECT_FALSE(chain.Converter->EndOfData());
    bytes = 4096;
    chain.Converter->ReadBlock(block, bytes);
    EXPECT_EQ(bytes, 300u);
}

TEST(ReadingProtocol, PassThroughHandsOnTheSourcePointer) {
    Chain chain;
    chain.Source->Data = Counting(100);
    chain.Converter->Open();
    const void* block = nullptr;
    std::uint32_t bytes = 64;
    chain.Converter->ReadBlock(block, bytes);
    EXPECT_EQ(block, chain.Source->Data.data());
    EXPECT_EQ(bytes, 64u);
}

TEST(ReadingProtocol, EmptyBlockSetsEndOfData) {
    Chain chain;
    chain.Source->Data = Counting(10);
    chain.Converter->Open();
    const void* block = nullptr;
    std::uint32_t bytes = 64;
    chain.Converter->ReadBlock(block, bytes);
    EXPECT_EQ(bytes, 10u);
    EXPECT_FALSE(chain.Converter->EndOfData());
    bytes = 64;
    chain.Converter->ReadBlock(block, bytes);
    EXPECT_EQ(bytes, 0u);
    EXPECT_TRUE(chain.Converter->EndOfData());
}

TEST(ReadingProtocol, ReadIntoReportsTheEndOnlyOnTheCallAfterAFullBuffer) {
    Chain chain;
    chain.Source->Data = Counting(1000);
    chain.Source->BlockLimit = 300;
    chain.Converter->Open();

    std::vector<std::uint8_t> buffer(1000, 0xEE);
    bool ended = true;
    EXPECT_EQ(chain.Converter->ReadInto(buffer.data(), 1000, ended), 1000u);
    EXPECT_FALSE(ended) << "a full buffer never reports the end";
    EXPECT_EQ(buffer, chain.Source->Data) << "pieces are copied one after the other";

    EXPECT_EQ(chain.Converter->ReadInto(buffer.data(), 1000, ended), 0u);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(chain.Converter->EndOfData());
}

TEST(ReadingProtocol, ReadIntoStopsAtTheEndOfAShortSource) {
    Chain chain;
    chain.Source->Data = Counting(450);
    chain.Source->BlockLimit = 300;
    chain.Converter->Open();
    std::vector<std::uint8_t> buffer(1000);
    bool ended = false;
    EXPECT_EQ(chain.Converter->ReadInto(buffer.data(), 1000, ended), 450u);
    EXPECT_TRUE(ended);
}

TEST(ReadingProtocol, FailingOpenSurfacesAsAudioExceptionAndEndsTheData) {
    Chain chain;
    chain.Source->FailOpen = true;
    try {
        chain.Converter->Open();
        FAIL() << "Open must fail";
    } catch (const EAudioException& error) {
        EXPECT_STREQ(error.what(), "device is gone");
    }
    EXPECT_TRUE(chain.Source->EndOfData());
    EXPECT_TRUE(chain.Converter->EndOfData());
    // The lock was released: the stage can be closed and opened again.
    chain.Converter->Close();
    chain.Source->FailOpen = false;
    EXPECT_NO_THROW(chain.Converter->Open());
}

TEST(ReadingProtocol, ConverterFormatClearsBitSevenUnlessTheMarkIsKept) {
    struct Case {
        std::uint32_t InputBits;
        bool KeepMark;
        std::uint32_t Reported;
    };
    const Case cases[] = {{144, false, 16}, {144, true, 144}, {16, false, 16}, {136, false, 8}};
    for (const Case& c : cases) {
        Chain chain;
        chain.Source->Bits = c.InputBits;
        chain.Converter->SetKeepFormatMark(c.KeepMark);
        EXPECT_EQ(chain.Converter->BitsPerSample(), c.Reported) << c.InputBits << " " << c.KeepMark;
    }
    Chain chain;
    chain.Source->ChannelCount = 2;
    chain.Source->Rate = 22050;
    EXPECT_EQ(chain.Converter->Channels(), 2u);
    EXPECT_EQ(chain.Converter->SampleRate(), 22050u);
    chain.Converter->SetInput(nullptr);
    EXPECT_EQ(chain.Converter->BitsPerSample(), 0u);
    EXPECT_EQ(chain.Converter->Channels(), 0u);
    EXPECT_EQ(chain.Converter->SampleRate(), 0u);
}

TEST(ReadingProtocol, ConverterInputExchange) {
    Chain chain;
    chain.Converter->SetInput(chain.Converter.get());
    EXPECT_EQ(chain.Converter->Input(), chain.Source.get()) << "itself as input changes nothing";

    // An open converter closes the old input and opens the new one.
    auto other = MakeComponent<TMemorySource>();
    chain.Converter->Open();
    chain.Converter->SetInput(other.get());
    EXPECT_EQ(chain.Source->Closes, 1);
    EXPECT_EQ(other->Opens, 1);
    EXPECT_TRUE(other->Busy());

    // A new input that fails to open leaves the stored input unchanged.
    auto failing = MakeComponent<TMemorySource>();
    failing->FailOpen = true;
    EXPECT_THROW(chain.Converter->SetInput(failing.get()), EAudioException);
    EXPECT_EQ(chain.Converter->Input(), other.get());
}

TEST(ReadingProtocol, DestroyedInputIsDroppedByItsReader) {
    Chain chain;
    chain.Converter->Open();
    chain.Source.reset();
    EXPECT_EQ(chain.Converter->Input(), nullptr);
    const void* block = nullptr;
    std::uint32_t bytes = 64;
    chain.Converter->ReadBlock(block, bytes);
    EXPECT_EQ(bytes, 0u);
}

TEST(ReadingProtocol, OwnerDestroysItsComponentsAndNotifiesReaders) {
    auto owner = MakeComponent<TComponent>();
    auto* source = owner->CreateComponent<TMemorySource>();
    auto* converter = owner->CreateComponent<TPassConverter>();
    EXPECT_EQ(source->Owner(), owner.get());
    converter->SetInput(source);
    auto reader = MakeComponent<TPassConverter>();
    reader->SetInput(converter);
    owner.reset();
    EXPECT_EQ(reader->Input(), nullptr);
}

} // namespace
} // namespace audio::test
