#include "archive/formats/ZipArchive.h"

#include "archive/formats/Formats.h"

namespace archive {

TZipCompressArchive::TZipCompressArchive(const std::string& volumeName, std::int64_t volumeMaxSize,
                                         bool volumeNameIsMask)
    : TSevenzipCompressArchive(volumeName, volumeMaxSize, volumeNameIsMask) {}

TZipCompressArchive::TZipCompressArchive(TStream* volume0, std::int64_t volumeMaxSize,
                                         bool ownsVolume)
    : TSevenzipCompressArchive(volume0, volumeMaxSize, ownsVolume) {}

const TCompressArchiveClass& TZipCompressArchive::Class() {
    static const TCompressArchiveClass info{
        "TZipCompressArchive", "Zip archive",
        "*.zip;*.jar;*.ear;*.war;*.cbz;*.apk;*.wsz;*.wal;*.xpi;*.crx;*.dfsz;*.pcv;*.bsz;*.mskin;"
        "*.wmz;*.ipa;*.docx;*.xlsx;*.pptx;*.sxw;*.sxi;*.sxt;*.sxd;*.sxc;*.sxm;*.sxg;*.stw;*.sti;"
        "*.std;*.stc;*.odh;*.odd;*.odt;*.odm;*.ods;*.ots;*.odg;*.otg;*.odp;*.otp;*.odf;*.odb",
        "",
        [](const std::string& name, std::int64_t size,
           bool isMask) -> std::unique_ptr<TCompressArchive> {
            return std::make_unique<TZipCompressArchive>(name, size, isMask);
        }};
    return info;
}

const TCompressArchiveClass& ZipArchiveClass() {
    return TZipCompressArchive::Class();
}

sevenzip::GUID TZipCompressArchive::HandlerClassId() const {
    return sevenzip::HandlerClass(0x01);
}

void TZipCompressArchive::SetNumberOfThreads(std::uint32_t value) {
    EnsureNotCompressing();
    numberOfThreads_ = value;
}

std::set<TEncryptionMethod> TZipCompressArchive::SupportedEncryptionMethods() const {
    return {TEncryptionMethod::None, TEncryptionMethod::AES128, TEncryptionMethod::AES192,
            TEncryptionMethod::AES256, TEncryptionMethod::ZipCrypto};
}

void TZipCompressArchive::SetEncryptionMethod(TEncryptionMethod value) {
    EnsureNotCompressing();
    if (!SupportedEncryptionMethods().contains(value))
        throw ECompressionError(PropertyNotAvailableText);
    encryptionMethod_ = value;
}

void TZipCompressArchive::SetDictionarySize(std::uint32_t value) {
    EnsureNotCompressing();
    dictionarySize_ = value;
}

void TZipCompressArchive::SetCompressionLevel(std::uint32_t value) {
    EnsureNotCompressing();
    if (value > MaximumCompressionLevel())
        throw ECompressionError(PropertyNotAvailableText);
    compressionLevel_ = value;
    switch (compressionMethod_) {
    case TCompressionMethod::Deflate:
    case TCompressionMethod::Deflate64:
        numberOfPasses_ = value >= 9 ? 10 : value >= 7 ? 3 : 1;
        algorithm_ = value >= 5 ? 1 : 0;
        break;
    case TCompressionMethod::BZip2:
        numberOfPasses_ = value >= 9 ? 7 : value >= 7 ? 2 : 1;
        dictionarySize_ = value >= 5 ? 900000 : value >= 3 ? 500000 : 100000;
        break;
    case TCompressionMethod::LZMA:
        dictionarySize_ = value >= 9   ? 64u << 20
                          : value >= 7 ? 32u << 20
                          : value >= 5 ? 16u << 20
                          : value >= 3 ? 1u << 20
                                       : 64u << 10;
        algorithm_ = value >= 5 ? 1 : 0;
        break;
    default:
        break;
    }
}

std::set<TCompressionMethod> TZipCompressArchive::SupportedCompressionMethods() const {
    // LZMA2 exists among the methods, but zip cannot store it.
    return {TCompressionMethod::Copy,  TCompressionMethod::Deflate, TCompressionMethod::Deflate64,
            TCompressionMethod::BZip2, TCompressionMethod::LZMA,    TCompressionMethod::PPMd};
}

void TZipCompressArchive::SetCompressionMethod(TCompressionMethod value) {
    EnsureNotCompressing();
    if (!SupportedCompressionMethods().contains(value))
        throw ECompressionError(PropertyNotAvailableText);
    compressionMethod_ = value;
}

void TZipCompressArchive::SetNumberOfPasses(std::uint32_t value) {
    EnsureNotCompressing();
    numberOfPasses_ = value;
}

void TZipCompressArchive::SetAlgorithm(std::uint32_t value) {
    EnsureNotCompressing();
    if (value > 1)
        throw ECompressionError(PropertyNotAvailableText);
    algorithm_ = value;
}

} // namespace archive
