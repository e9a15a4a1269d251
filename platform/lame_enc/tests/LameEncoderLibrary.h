// The tests reach liblame_enc.so the way the program does: loaded at run time by its bare name.
#pragma once

#include "platform/DynamicLibrary.h"
#include "platform/LameEnc.h"

#include <cstring>
#include <stdexcept>

namespace mp3test {

struct LameEncoderLibrary {
    platform::DynamicLibrary library;
    BEINITSTREAM beInitStream;
    BEENCODECHUNK beEncodeChunk;
    BEDEINITSTREAM beDeinitStream;
    BECLOSESTREAM beCloseStream;
    BEWRITEVBRHEADER beWriteVBRHeader;
    BEFLUSHNOGAP beFlushNoGap;
    BEWRITEINFOTAG beWriteInfoTag;

    static const LameEncoderLibrary& Get() {
        static const LameEncoderLibrary instance(Load());
        return instance;
    }

private:
    static platform::DynamicLibrary Load() {
        auto loaded = platform::DynamicLibrary::Load("liblame_enc.so");
        if (!loaded)
            throw std::runtime_error(platform::DynamicLibrary::LastLoadError());
        return std::move(*loaded);
    }
    explicit LameEncoderLibrary(platform::DynamicLibrary loaded)
        : library(std::move(loaded)), beInitStream(library.Entry<BEINITSTREAM>("beInitStream")),
          beEncodeChunk(library.Entry<BEENCODECHUNK>("beEncodeChunk")),
          beDeinitStream(library.Entry<BEDEINITSTREAM>("beDeinitStream")),
          beCloseStream(library.Entry<BECLOSESTREAM>("beCloseStream")),
          beWriteVBRHeader(library.Entry<BEWRITEVBRHEADER>("beWriteVBRHeader")),
          beFlushNoGap(library.Entry<BEFLUSHNOGAP>("beFlushNoGap")),
          beWriteInfoTag(library.Entry<BEWRITEINFOTAG>("beWriteInfoTag")) {}
};

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
