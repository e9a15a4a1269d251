// The tests reach liblame_enc.so the way the program does: loaded at run time by its bare name.
#pragma once

#include "platform/LameEncEntries.h"

#include <cstring>

namespace mp3test {

// The library's entry points; the test fails with the loader's reason when it cannot be had.
inline const platform::LameEncEntries& LameEncoderLibrary() {
    static platform::RuntimeLibrary<platform::LameEncEntries> library(platform::LameEncFileName,
                                                                      &platform::BindLameEnc);
    return library.Require();
}

// The record as the exam recording fills it: 44100 Hz mono, 128 kbit/s, CRC, no bit reservoir.
inline BE_CONFIG ExamRecord() {
    BE_CONFIG config;
    std::memset(&config, 0, sizeof config);
    config.dwConfig = BE_CONFIG_LAME;
    config.dwStructVersion = BE_CONFIG_VERSION;
    config.dwStructSize = BE_CONFIG_SIZE;
    config.dwSampleRate = 44100;
    config.nMode = BE_MP3_MODE_MONO;
    config.dwBitrate = 128;
    config.bCRC = -1;
    config.bOriginal = -1;
    config.nVbrMethod = BE_VBR_METHOD_NEW;
    config.bNoRes = -1;
    return config;
}

} // namespace mp3test
