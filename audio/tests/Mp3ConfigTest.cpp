#include "audio/AudioMP3.h"
#include "audio/Mp3Tags.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

using audio::TMP3BitRate;
using audio::TMP3Mode;
using audio::TMP3Out;

using RecordBytes = std::array<std::uint8_t, 331>;

void Put32(RecordBytes& bytes, std::size_t offset, std::int64_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

// The record of the exam page, laid out by hand from the offsets the encoder library reads.
RecordBytes ExamRecordBytes() {
    RecordBytes bytes{};
    Put32(bytes, 0, 256);    // dwConfig
    Put32(bytes, 4, 1);      // dwStructVersion
    Put32(bytes, 8, 331);    // dwStructSize
    Put32(bytes, 12, 44100); // dwSampleRate
    Put32(bytes, 20, 3);     // nMode
    Put32(bytes, 24, 128);   // dwBitrate
    Put32(bytes, 52, -1);    // bCRC
    Put32(bytes, 60, -1);    // bOriginal
    Put32(bytes, 80, 2);     // nVbrMethod
    Put32(bytes, 84, -1);    // bNoRes
    return bytes;
}

RecordBytes BytesOf(const BE_CONFIG& config) {
    RecordBytes bytes;
    std::memcpy(bytes.data(), &config, bytes.size());
    return bytes;
}

class Mp3ConfigTest : public ::testing::Test {
protected:
    audio::TComponentPtr<TMP3Out> output = audio::MakeComponent<TMP3Out>();
};

TEST_F(Mp3ConfigTest, PublishedPropertiesStartAtTheirDefaults) {
    EXPECT_EQ(output->BitRate(), TMP3BitRate::mbr128);
    EXPECT_EQ(output->Mode(), TMP3Mode::mmStereo);
    EXPECT_FALSE(output->CRC());
    EXPECT_FALSE(output->Copyright());
    EXPECT_TRUE(output->Original());
    EXPECT_FALSE(output->EnableBitReservoir());
    EXPECT_FALSE(output->StrictISO());
    EXPECT_EQ(output->VBRQuality(), audio::TMP3Quality::mp3ql0);
    EXPECT_FALSE(output->EnableVBR());
    EXPECT_EQ(output->AverageBitrate(), TMP3BitRate::mbrAuto);
    EXPECT_EQ(output->MaximumBitrate(), TMP3BitRate::mbrAuto);
    EXPECT_EQ(output->FileName(), "");
    EXPECT_EQ(output->ShareMode(), 0);
}

TEST_F(Mp3ConfigTest, ExamAndCheckRecordsByteByByte) {
    output->SetCRC(true);
    EXPECT_EQ(BytesOf(output->EncoderConfig(44100, 1)), ExamRecordBytes());
    // The check page differs only in the CRC flag; Copyright never reaches the record.
    output->SetCRC(false);
    output->SetCopyright(true);
    RecordBytes check = ExamRecordBytes();
    Put32(check, 52, 0);
    EXPECT_EQ(BytesOf(output->EncoderConfig(44100, 1)), check);
}

TEST_F(Mp3ConfigTest, ModeOfTwoChannels) {
    const std::pair<TMP3Mode, std::int32_t> cases[] = {{TMP3Mode::mmStereo, 0},
                                                       {TMP3Mode::mmJointStereo, 1},
                                                       {TMP3Mode::mmDual, 0},
                                                       {TMP3Mode::mmMono, 3}};
    for (const auto& [mode, expected] : cases) {
        output->SetMode(mode);
        EXPECT_EQ(output->EncoderConfig(44100, 2).nMode, expected);
        EXPECT_EQ(output->EncoderConfig(44100, 1).nMode, 3) << "one channel is always mono";
    }
}

TEST_F(Mp3ConfigTest, AverageAndVariableRates) {
    output->SetAverageBitrate(TMP3BitRate::mbr192);
    output->SetMaximumBitrate(TMP3BitRate::mbr320);
    BE_CONFIG config = output->EncoderConfig(44100, 1);
    EXPECT_EQ(config.dwVbrAbr_bps, 192u);
    EXPECT_EQ(config.nVbrMethod, 4);
    EXPECT_EQ(config.dwMaxBitrate, 320u);
    EXPECT_EQ(config.bEnableVBR, 0);
    EXPECT_EQ(config.nVBRQuality, 0);

    output->SetAverageBitrate(TMP3BitRate::mbrAuto);
    output->SetVBRQuality(audio::TMP3Quality::mp3ql4);
    EXPECT_EQ(output->EncoderConfig(44100, 1).nVBRQuality, 0) << "quality only with VBR";
    output->SetEnableVBR(true);
    output->SetEnableBitReservoir(true);
    output->SetStrictISO(true);
    config = output->EncoderConfig(44100, 1);
    EXPECT_EQ(config.bEnableVBR, -1);
    EXPECT_EQ(config.bWriteVBRHeader, -1);
    EXPECT_EQ(config.nVBRQuality, 4);
    EXPECT_EQ(config.nVbrMethod, 2);
    EXPECT_EQ(config.bNoRes, 0);
    EXPECT_EQ(config.bStrictIso, -1);
}

TEST(Mp3BitRate, KbpsOfEveryMemberAndOfAStrayOrdinal) {
    const std::uint32_t expected[] = {0,   32,  40,  48,  56,  64,  80,  96,
                                      112, 128, 144, 160, 192, 224, 256, 320};
    for (int ordinal = 0; ordinal < 16; ++ordinal)
        EXPECT_EQ(audio::BitRateKbps(static_cast<TMP3BitRate>(ordinal)), expected[ordinal]);
    EXPECT_EQ(audio::BitRateKbps(static_cast<TMP3BitRate>(16)), 128u);
}

TEST(Mp3Id3v1Block, EmptyTagsGiveTagAndZeros) {
    audio::TId3v1Tags tags;
    const auto block = audio::MakeId3v1Block(tags);
    EXPECT_EQ(std::string(block.begin(), block.begin() + 3), "TAG");
    for (std::size_t i = 3; i < block.size(); ++i)
        ASSERT_EQ(block[i], 0) << i;
}

TEST(Mp3Id3v1Block, FieldsAreCutAndTheYearNeedsFourDigits) {
    audio::TId3v1Tags tags;
    tags.SetTitle("A title that is longer than thirty bytes");
    tags.SetArtist("Artist");
    tags.SetAlbum(std::string(30, 'x'));
    tags.SetComment("Comment");
    tags.SetYear(2019);
    auto block = audio::MakeId3v1Block(tags);
    EXPECT_EQ(std::string(block.begin() + 3, block.begin() + 33), "A title that is longer than th");
    EXPECT_EQ(std::string(block.begin() + 33, block.begin() + 39), "Artist");
    EXPECT_EQ(block[39], 0);
    EXPECT_EQ(std::string(block.begin() + 63, block.begin() + 93), std::string(30, 'x'));
    EXPECT_EQ(std::string(block.begin() + 93, block.begin() + 97), "2019");
    EXPECT_EQ(std::string(block.begin() + 97, block.begin() + 104), "Comment");
    EXPECT_EQ(block[127], 0);
    // A character is never cut in half: 29 bytes of ASCII and a two-byte letter leave 29 bytes.
    tags.SetTitle(std::string(29, 'a') + "Я");
    block = audio::MakeId3v1Block(tags);
    EXPECT_EQ(std::string(block.begin() + 3, block.begin() + 33), std::string(29, 'a') + '\0');
    for (const std::uint16_t year : {0, 123, 12345}) {
        tags.SetYear(year);
        block = audio::MakeId3v1Block(tags);
        EXPECT_EQ(std::string(block.begin() + 93, block.begin() + 97), std::string(4, '\0'))
            << year;
    }
}

} // namespace
