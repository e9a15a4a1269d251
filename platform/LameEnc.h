/* The encoder library's interface (liblame_enc.so): the configuration record and the seven entry
 * points, shared by the library and the program that loads it at run time. Plain C so that the
 * record's layout is the one both sides see. */
#ifndef STATION_PLATFORM_LAME_ENC_H
#define STATION_PLATFORM_LAME_ENC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t BE_DWORD;
typedef int32_t BE_BOOL;
typedef uintptr_t HBE_STREAM;
typedef uint32_t BE_ERR;

#define BE_ERR_SUCCESSFUL 0u
#define BE_ERR_INVALID_FORMAT 1u
#define BE_ERR_INVALID_FORMAT_PARAMETERS 2u
#define BE_ERR_NO_MORE_HANDLES 3u
#define BE_ERR_INVALID_HANDLE 4u
#define BE_ERR_BUFFER_TOO_SMALL 5u

#define BE_CONFIG_LAME 256u
#define BE_CONFIG_SIZE 331u
#define BE_CONFIG_VERSION 1u

#define BE_MP3_MODE_STEREO 0
#define BE_MP3_MODE_JSTEREO 1
#define BE_MP3_MODE_DUALCHANNEL 2
#define BE_MP3_MODE_MONO 3

#define BE_VBR_METHOD_NONE (-1)
#define BE_VBR_METHOD_DEFAULT 0
#define BE_VBR_METHOD_OLD 1
#define BE_VBR_METHOD_NEW 2
#define BE_VBR_METHOD_MTRH 3
#define BE_VBR_METHOD_ABR 4

#pragma pack(push, 1)
typedef struct BE_CONFIG {
    BE_DWORD dwConfig;        /* BE_CONFIG_LAME */
    BE_DWORD dwStructVersion; /* BE_CONFIG_VERSION */
    BE_DWORD dwStructSize;    /* BE_CONFIG_SIZE */
    BE_DWORD dwSampleRate;    /* of the samples handed in */
    BE_DWORD dwReSampleRate;  /* of the stream written; 0 = the encoder's choice */
    int32_t nMode;            /* BE_MP3_MODE_...; mono means one channel in, two otherwise */
    BE_DWORD dwBitrate;     /* kbit/s: the constant rate, or the lowest rate of VBR; 0 = default */
    BE_DWORD dwMaxBitrate;  /* kbit/s: the highest rate of VBR; 0 = no limit */
    int32_t nPreset;        /* not used: the other fields say everything */
    BE_DWORD dwMpegVersion; /* not used: the written rate decides the MPEG version */
    BE_DWORD dwPsyModel;    /* not used */
    BE_DWORD dwEmphasis;    /* 0 none, 1 50/15 ms, 3 CCITT J.17 */
    BE_BOOL bPrivate;
    BE_BOOL bCRC;
    BE_BOOL bCopyright;
    BE_BOOL bOriginal;
    BE_BOOL bWriteVBRHeader; /* a Xing/Info frame opens the stream, filled by beWriteVBRHeader */
    BE_BOOL bEnableVBR;      /* nVbrMethod then chooses the variable-rate method */
    int32_t nVBRQuality;     /* 0 (best) .. 9 */
    BE_DWORD dwVbrAbr_bps;   /* mean rate of ABR in bit/s; values below 1000 are taken as kbit/s */
    int32_t nVbrMethod;      /* BE_VBR_METHOD_... */
    BE_BOOL bNoRes;          /* no bit reservoir: every frame decodes on its own */
    BE_BOOL bStrictIso;
    uint16_t nQuality; /* low byte 0 (best) .. 9, taken only when the high byte is its complement */
    uint8_t btReserved[237];
} BE_CONFIG;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(BE_CONFIG) == BE_CONFIG_SIZE, "the record is packed to 331 bytes");
#else
_Static_assert(sizeof(BE_CONFIG) == BE_CONFIG_SIZE, "the record is packed to 331 bytes");
#endif

/* beInitStream reports how many 16-bit samples (all channels together) one beEncodeChunk takes at
 * most, and how many bytes the output buffer of every call must hold. */
typedef BE_ERR (*BEINITSTREAM)(BE_CONFIG* config, BE_DWORD* samplesPerChunk,
                               BE_DWORD* outputBufferBytes, HBE_STREAM* stream);
typedef BE_ERR (*BEENCODECHUNK)(HBE_STREAM stream, BE_DWORD sampleCount, const int16_t* samples,
                                uint8_t* output, BE_DWORD* outputBytes);
typedef BE_ERR (*BEDEINITSTREAM)(HBE_STREAM stream, uint8_t* output, BE_DWORD* outputBytes);
typedef BE_ERR (*BECLOSESTREAM)(HBE_STREAM stream);
typedef BE_ERR (*BEWRITEVBRHEADER)(const char* fileName);
typedef BE_ERR (*BEFLUSHNOGAP)(HBE_STREAM stream, uint8_t* output, BE_DWORD* outputBytes);
typedef BE_ERR (*BEWRITEINFOTAG)(HBE_STREAM stream, const char* fileName);

#ifdef __cplusplus
}
#endif

#endif
