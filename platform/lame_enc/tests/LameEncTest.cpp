#include "platform/lame_enc/tests/LameEncoderLibrary.h"
#include "platform/lame_enc/tests/Mp3TestTools.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const platform::LameEncEntries& Lame() {
    return mp3test::LameEncoderLibrary();
}

struct Encoded {
    std::vector<std::uint8_t> bytes;
    BE_DWORD samplesPerChunk = 0;
    BE_DWORD outputBufferBytes = 0;
};

// Encodes the samples chunk by chunk and closes the stream, as a recording does.
Encoded Encode(BE_CONFIG config, const std::vector<std::int16_t>& samples) {
    Encoded result;
    HBE_STREAM stream = 0;
    EXPECT_EQ(
        Lame().beInitStream(&config, &result.samplesPerChunk, &result.outputBufferBytes, &stream),
        BE_ERR_SUCCESSFUL);
    std::vector<std::uint8_t> buffer(result.outputBufferBytes);
    for (std::size_t done = 0; done < samples.size();) {
        const BE_DWORD count = static_cast<BE_DWORD>(
            std::min<std::size_t>(result.samplesPerChunk, samples.size() - done));
        BE_DWORD bytes = 0;
        EXPECT_EQ(Lame().beEncodeChunk(stream, count, &samples[done], buffer.data(), &bytes),
                  BE_ERR_SUCCESSFUL);
        EXPECT_LE(bytes, result.outputBufferBytes);
        result.bytes.insert(result.bytes.end(), buffer.begin(), buffer.begin() + bytes);
        done += count;
    }
    BE_DWORD bytes = 0;
    EXPECT_EQ(Lame().beDeinitStream(stream, buffer.data(), &bytes), BE_ERR_SUCCESSFUL);
    result.bytes.insert(result.bytes.end(), buffer.begin(), buffer.begin() + bytes);
    EXPECT_EQ(Lame().beCloseStream(stream), BE_ERR_SUCCESSFUL);
    return result;
}

class LameEncTest : public ::testing::Test {
protected:
    std::string Save(const std::vector<std::uint8_t>& bytes, const char* name = "out.mp3") {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    testsupport::TemporaryFolder scratch_{"lame_enc_test"};
    std::filesystem::path folder_{scratch_.Path()};
};

TEST(LameEncRecord, FieldsSitAtTheirOffsetsInA331ByteRecord) {
    struct Field {
        std::size_t offset, expected;
    };
    const Field fields[] = {
        {offsetof(BE_CONFIG, dwConfig), 0},         {offsetof(BE_CONFIG, dwStructVersion), 4},
        {offsetof(BE_CONFIG, dwStructSize), 8},     {offsetof(BE_CONFIG, dwSampleRate), 12},
        {offsetof(BE_CONFIG, dwReSampleRate), 16},  {offsetof(BE_CONFIG, nMode), 20},
        {offsetof(BE_CONFIG, dwBitrate), 24},       {offsetof(BE_CONFIG, dwMaxBitrate), 28},
        {offsetof(BE_CONFIG, nPreset), 32},         {offsetof(BE_CONFIG, dwMpegVersion), 36},
        {offsetof(BE_CONFIG, dwPsyModel), 40},      {offsetof(BE_CONFIG, dwEmphasis), 44},
        {offsetof(BE_CONFIG, bPrivate), 48},        {offsetof(BE_CONFIG, bCRC), 52},
        {offsetof(BE_CONFIG, bCopyright), 56},      {offsetof(BE_CONFIG, bOriginal), 60},
        {offsetof(BE_CONFIG, bWriteVBRHeader), 64}, {offsetof(BE_CONFIG, bEnableVBR), 68},
        {offsetof(BE_CONFIG, nVBRQuality), 72},     {offsetof(BE_CONFIG, dwVbrAbr_bps), 76},
        {offsetof(BE_CONFIG, nVbrMethod), 80},      {offsetof(BE_CONFIG, bNoRes), 84},
        {offsetof(BE_CONFIG, bStrictIso), 88},      {offsetof(BE_CONFIG, nQuality), 92},
        {offsetof(BE_CONFIG, btReserved), 94},
    };
    for (const Field& field : fields)
        EXPECT_EQ(field.offset, field.expected);
    EXPECT_EQ(sizeof(BE_CONFIG), 331u);
}

TEST_F(LameEncTest, ExamRecordEncodesToProtectedMonoFramesThatDecodeToTheSource) {
    const int frames = 3 * 44100;
    const auto source = mp3test::Sine(440, 0.5, 44100, frames);
    const Encoded encoded = Encode(mp3test::ExamRecord(), source);
    EXPECT_EQ(encoded.samplesPerChunk, 1152u);
    EXPECT_GE(encoded.outputBufferBytes, 7200u);

    const auto scan = mp3test::ScanFrames(encoded.bytes);
    ASSERT_EQ(scan.endOffset, encoded.bytes.size()) << "bytes that are not frames";
    // No Info frame was asked for: every frame carries audio.
    EXPECT_NEAR(scan.frames.size() * 1152.0, frames, 3 * 1152.0);
    for (const auto& frame : scan.frames) {
        ASSERT_EQ(frame.mpegVersion, 1);
        ASSERT_EQ(frame.sampleRate, 44100);
        ASSERT_EQ(frame.bitrateKbps, 128);
        ASSERT_EQ(frame.channelMode, BE_MP3_MODE_MONO);
        ASSERT_TRUE(frame.crcProtected);
        ASSERT_TRUE(frame.original);
        ASSERT_FALSE(frame.copyright);
        ASSERT_FALSE(frame.privateBit);
    }
    // Without the bit reservoir every frame's main data begins in the frame itself.
    for (const auto& frame : scan.frames)
        ASSERT_EQ(encoded.bytes[frame.offset + 6], 0) << "main_data_begin at " << frame.offset;

    const auto decoded = mp3test::DecodeFile(Save(encoded.bytes));
    EXPECT_EQ(decoded.sampleRate, 44100);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_NEAR(static_cast<double>(decoded.samples.size()), frames, 2 * 1152.0);
    int delay = 0;
    EXPECT_GT(mp3test::BestCorrelation(source, decoded.samples, 1, frames - 4000, 3000, &delay),
              0.99);
}

TEST_F(LameEncTest, FlagsAndModesReachTheFrameHeaders) {
    struct Case {
        int mode;
        BE_BOOL crc, copyright, original, privateBit;
    };
    for (const Case c :
         {Case{BE_MP3_MODE_STEREO, 0, -1, 0, -1}, Case{BE_MP3_MODE_JSTEREO, -1, 0, -1, 0},
          Case{BE_MP3_MODE_DUALCHANNEL, 0, 0, -1, 0}}) {
        BE_CONFIG config = mp3test::ExamRecord();
        config.nMode = c.mode;
        config.bCRC = c.crc;
        config.bCopyright = c.copyright;
        config.bOriginal = c.original;
        config.bPrivate = c.privateBit;
        const auto source = mp3test::Sine(440, 0.5, 44100, 44100, 2);
        const Encoded encoded = Encode(config, source);
        EXPECT_EQ(encoded.samplesPerChunk, 2304u);
        const auto scan = mp3test::ScanFrames(encoded.bytes);
        ASSERT_FALSE(scan.frames.empty());
        for (const auto& frame : scan.frames) {
            // Joint stereo may code a frame as plain stereo; never as mono or dual channel.
            if (c.mode == BE_MP3_MODE_JSTEREO)
                ASSERT_LE(frame.channelMode, 1);
            else
                ASSERT_EQ(frame.channelMode, c.mode);
            ASSERT_EQ(frame.crcProtected, c.crc != 0);
            ASSERT_EQ(frame.copyright, c.copyright != 0);
            ASSERT_EQ(frame.original, c.original != 0);
            ASSERT_EQ(frame.privateBit, c.privateBit != 0);
        }
        const auto decoded = mp3test::DecodeFile(Save(encoded.bytes));
        EXPECT_EQ(decoded.channels, 2);
    }
}

TEST_F(LameEncTest, ResamplingWritesTheAskedRate) {
    BE_CONFIG config = mp3test::ExamRecord();
    config.dwReSampleRate = 22050;
    config.dwBitrate = 64;
    const Encoded encoded = Encode(config, mp3test::Sine(440, 0.5, 44100, 44100));
    const auto scan = mp3test::ScanFrames(encoded.bytes);
    ASSERT_FALSE(scan.frames.empty());
    EXPECT_EQ(scan.frames.front().sampleRate, 22050);
    EXPECT_EQ(scan.frames.front().mpegVersion, 2);
    EXPECT_EQ(scan.frames.front().bitrateKbps, 64);
}

TEST_F(LameEncTest, VariableRateFileGetsItsXingHeaderAfterClosing) {
    BE_CONFIG config = mp3test::ExamRecord();
    config.bEnableVBR = -1;
    config.bWriteVBRHeader = -1;
    config.nVBRQuality = 2;
    const int frames = 2 * 44100;
    const Encoded encoded = Encode(config, mp3test::Sine(440, 0.5, 44100, frames));
    const std::string path = Save(encoded.bytes);
    ASSERT_EQ(Lame().beWriteVBRHeader(path.c_str()), BE_ERR_SUCCESSFUL);

    const auto bytes = mp3test::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), encoded.bytes.size());
    const std::string text(bytes.begin(), bytes.begin() + 64);
    EXPECT_NE(text.find("Xing"), std::string::npos);
    // The header tells the decoder the exact length: encoder delay and padding are removed.
    const auto decoded = mp3test::DecodeFile(path);
    EXPECT_EQ(decoded.samples.size(), static_cast<std::size_t>(frames));
    // The header was handed out once.
    EXPECT_EQ(Lame().beWriteVBRHeader(path.c_str()), BE_ERR_INVALID_HANDLE);
}

TEST_F(LameEncTest, AverageRateIsTakenInKilobitsOrBitsPerSecond) {
    for (const BE_DWORD asked : {192u, 192000u}) {
        BE_CONFIG config = mp3test::ExamRecord();
        config.nMode = BE_MP3_MODE_JSTEREO;
        config.bEnableVBR = -1;
        config.nVbrMethod = BE_VBR_METHOD_ABR;
        config.dwVbrAbr_bps = asked;
        config.dwBitrate = 0;
        // Noise-like content needs the full mean rate.
        std::vector<std::int16_t> source(2 * 5 * 44100);
        std::uint32_t seed = 1;
        for (auto& sample : source) {
            seed = seed * 1664525u + 1013904223u;
            sample = static_cast<std::int16_t>(static_cast<std::int32_t>(seed >> 16) - 32768) / 4;
        }
        const Encoded encoded = Encode(config, source);
        const double kbps = encoded.bytes.size() * 8.0 / 5.0 / 1000.0;
        EXPECT_NEAR(kbps, 192, 30) << "asked " << asked;
    }
}

TEST_F(LameEncTest, InfoTagIsWrittenIntoAConstantRateFileAndClosesTheStream) {
    BE_CONFIG config = mp3test::ExamRecord();
    config.bWriteVBRHeader = -1;
    BE_DWORD chunk = 0, bufferBytes = 0;
    HBE_STREAM stream = 0;
    ASSERT_EQ(Lame().beInitStream(&config, &chunk, &bufferBytes, &stream), BE_ERR_SUCCESSFUL);
    const auto source = mp3test::Sine(440, 0.5, 44100, static_cast<int>(chunk) * 20);
    std::vector<std::uint8_t> file, buffer(bufferBytes);
    BE_DWORD bytes = 0;
    for (std::size_t done = 0; done < source.size(); done += chunk) {
        ASSERT_EQ(Lame().beEncodeChunk(stream, chunk, &source[done], buffer.data(), &bytes), 0u);
        file.insert(file.end(), buffer.begin(), buffer.begin() + bytes);
    }
    // A gapless flush leaves the stream usable.
    ASSERT_EQ(Lame().beFlushNoGap(stream, buffer.data(), &bytes), BE_ERR_SUCCESSFUL);
    file.insert(file.end(), buffer.begin(), buffer.begin() + bytes);
    const std::string path = Save(file);
    ASSERT_EQ(Lame().beWriteInfoTag(stream, path.c_str()), BE_ERR_SUCCESSFUL);
    const auto written = mp3test::ReadFileBytes(path);
    EXPECT_NE(std::string(written.begin(), written.begin() + 64).find("Info"), std::string::npos);
    EXPECT_EQ(Lame().beCloseStream(stream), BE_ERR_INVALID_HANDLE);
}

TEST_F(LameEncTest, VbrHeaderIsRefusedForAFileThatDoesNotBeginWithItsPlaceholder) {
    BE_CONFIG config = mp3test::ExamRecord();
    config.bEnableVBR = -1;
    config.bWriteVBRHeader = -1;
    const Encoded encoded = Encode(config, mp3test::Sine(440, 0.5, 44100, 44100));
    std::vector<std::uint8_t> shifted(encoded.bytes.begin() + 1, encoded.bytes.end());
    const std::string path = Save(shifted);
    EXPECT_EQ(Lame().beWriteVBRHeader(path.c_str()), BE_ERR_INVALID_FORMAT_PARAMETERS);
    EXPECT_EQ(mp3test::ReadFileBytes(path), shifted) << "the file must stay untouched";
}

TEST(LameEncErrors, BadRecordsAreRefusedWithTheirCodes) {
    struct Case {
        const char* what;
        void (*spoil)(BE_CONFIG&);
        BE_ERR expected;
    };
    const Case cases[] = {
        {"not the LAME form", [](BE_CONFIG& c) { c.dwConfig = 0; }, BE_ERR_INVALID_FORMAT},
        {"short record", [](BE_CONFIG& c) { c.dwStructSize = 330; }, BE_ERR_INVALID_FORMAT},
        {"unknown version", [](BE_CONFIG& c) { c.dwStructVersion = 2; }, BE_ERR_INVALID_FORMAT},
        {"mode 4", [](BE_CONFIG& c) { c.nMode = 4; }, BE_ERR_INVALID_FORMAT_PARAMETERS},
        {"no sample rate", [](BE_CONFIG& c) { c.dwSampleRate = 0; },
         BE_ERR_INVALID_FORMAT_PARAMETERS},
        {"resample to 12345 Hz", [](BE_CONFIG& c) { c.dwReSampleRate = 12345; },
         BE_ERR_INVALID_FORMAT_PARAMETERS},
        {"130 kbit/s", [](BE_CONFIG& c) { c.dwBitrate = 130; }, BE_ERR_INVALID_FORMAT_PARAMETERS},
        {"8 kbit/s written at 44100 Hz",
         [](BE_CONFIG& c) {
             c.dwBitrate = 8;
             c.dwReSampleRate = 44100;
         },
         BE_ERR_INVALID_FORMAT_PARAMETERS},
        {"emphasis 4", [](BE_CONFIG& c) { c.dwEmphasis = 4; }, BE_ERR_INVALID_FORMAT_PARAMETERS},
        {"VBR quality 10",
         [](BE_CONFIG& c) {
             c.bEnableVBR = -1;
             c.nVBRQuality = 10;
         },
         BE_ERR_INVALID_FORMAT_PARAMETERS},
        {"VBR method 5",
         [](BE_CONFIG& c) {
             c.bEnableVBR = -1;
             c.nVbrMethod = 5;
         },
         BE_ERR_INVALID_FORMAT_PARAMETERS},
        {"ABR of 5 kbit/s",
         [](BE_CONFIG& c) {
             c.bEnableVBR = -1;
             c.nVbrMethod = BE_VBR_METHOD_ABR;
             c.dwVbrAbr_bps = 5;
         },
         BE_ERR_INVALID_FORMAT_PARAMETERS},
        {"quality 12 with its complement", [](BE_CONFIG& c) { c.nQuality = 0xF30C; },
         BE_ERR_INVALID_FORMAT_PARAMETERS},
    };
    for (const Case& c : cases) {
        BE_CONFIG config = mp3test::ExamRecord();
        c.spoil(config);
        BE_DWORD chunk = 0, bytes = 0;
        HBE_STREAM stream = 0;
        EXPECT_EQ(Lame().beInitStream(&config, &chunk, &bytes, &stream), c.expected) << c.what;
        EXPECT_EQ(stream, 0u) << c.what;
    }
}

TEST(LameEncErrors, HandlesAndBuffersAreChecked) {
    BE_CONFIG config = mp3test::ExamRecord();
    BE_DWORD chunk = 0, bufferBytes = 0, bytes = 0;
    HBE_STREAM stream = 0;
    ASSERT_EQ(Lame().beInitStream(&config, &chunk, &bufferBytes, &stream), BE_ERR_SUCCESSFUL);
    std::vector<std::int16_t> samples(chunk + 2);
    std::vector<std::uint8_t> buffer(bufferBytes);
    EXPECT_EQ(Lame().beEncodeChunk(stream, chunk + 2, samples.data(), buffer.data(), &bytes),
              BE_ERR_BUFFER_TOO_SMALL);
    EXPECT_EQ(Lame().beEncodeChunk(stream + 1000, chunk, samples.data(), buffer.data(), &bytes),
              BE_ERR_INVALID_HANDLE);
    EXPECT_EQ(Lame().beDeinitStream(stream, buffer.data(), &bytes), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(Lame().beEncodeChunk(stream, chunk, samples.data(), buffer.data(), &bytes),
              BE_ERR_INVALID_HANDLE)
        << "a finished stream takes no more samples";
    EXPECT_EQ(Lame().beCloseStream(stream), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(Lame().beCloseStream(stream), BE_ERR_INVALID_HANDLE);
    EXPECT_EQ(Lame().beDeinitStream(stream, buffer.data(), &bytes), BE_ERR_INVALID_HANDLE);

    config.nMode = BE_MP3_MODE_STEREO;
    ASSERT_EQ(Lame().beInitStream(&config, &chunk, &bufferBytes, &stream), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(Lame().beEncodeChunk(stream, 3, samples.data(), buffer.data(), &bytes),
              BE_ERR_INVALID_FORMAT_PARAMETERS)
        << "half a stereo frame";
    EXPECT_EQ(Lame().beCloseStream(stream), BE_ERR_SUCCESSFUL);
}

TEST(LameEncErrors, OpenStreamsAreLimited) {
    BE_CONFIG config = mp3test::ExamRecord();
    std::vector<HBE_STREAM> streams;
    BE_ERR result = BE_ERR_SUCCESSFUL;
    while (result == BE_ERR_SUCCESSFUL && streams.size() <= 1000) {
        BE_DWORD chunk = 0, bytes = 0;
        HBE_STREAM stream = 0;
        result = Lame().beInitStream(&config, &chunk, &bytes, &stream);
        if (result == BE_ERR_SUCCESSFUL)
            streams.push_back(stream);
    }
    EXPECT_EQ(result, BE_ERR_NO_MORE_HANDLES);
    EXPECT_GE(streams.size(), 2u);
    for (const HBE_STREAM stream : streams)
        EXPECT_EQ(Lame().beCloseStream(stream), BE_ERR_SUCCESSFUL);
}

TEST(LameEncErrors, VbrHeaderWithoutAClosedVbrStreamIsRefused) {
    EXPECT_EQ(Lame().beWriteVBRHeader("/nonexistent/file.mp3"), BE_ERR_INVALID_HANDLE);
}

} // namespace
