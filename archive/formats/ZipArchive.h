// The zip format: the one the station writes its interview archives in.
#pragma once

#include "archive/ArchiveFormats.h"
#include "archive/ArchiveSettings.h"
#include "archive/sevenzip.h"

namespace archive {

class TZipCompressArchive final : public TSevenzipCompressArchive,
                                  public ThreadsSetting,
                                  public EncryptionSetting,
                                  public DictionarySetting,
                                  public LevelSetting,
                                  public MethodSetting,
                                  public PassesSetting,
                                  public AlgorithmSetting {
public:
    // The file is not touched before Compress writes.
    explicit TZipCompressArchive(const std::string& volumeName, std::int64_t volumeMaxSize = 0,
                                 bool volumeNameIsMask = false);
    TZipCompressArchive(TStream* volume0, std::int64_t volumeMaxSize, bool ownsVolume);

    static const TCompressArchiveClass& Class();
    const TCompressArchiveClass& ArchiveClass() const override { return Class(); }
    sevenzip::GUID HandlerClassId() const override;

    // Every setter raises "Operation is not supported while compressing" during Compress and
    // "Property is not available" for a value outside its allowed values.
    std::uint32_t NumberOfThreads() const override { return numberOfThreads_; }
    void SetNumberOfThreads(std::uint32_t value) override;
    TEncryptionMethod EncryptionMethod() const override { return encryptionMethod_; }
    std::set<TEncryptionMethod> SupportedEncryptionMethods() const override;
    void SetEncryptionMethod(TEncryptionMethod value) override;
    std::uint32_t DictionarySize() const override { return dictionarySize_; }
    void SetDictionarySize(std::uint32_t value) override;
    std::uint32_t CompressionLevel() const override { return compressionLevel_; }
    std::uint32_t MaximumCompressionLevel() const override { return 9; }
    std::uint32_t MinimumCompressionLevel() const override { return 0; }
    // Also tunes passes, algorithm and dictionary to the level for the current method.
    void SetCompressionLevel(std::uint32_t value) override;
    TCompressionMethod CompressionMethod() const override { return compressionMethod_; }
    std::set<TCompressionMethod> SupportedCompressionMethods() const override;
    void SetCompressionMethod(TCompressionMethod value) override;
    std::uint32_t NumberOfPasses() const override { return numberOfPasses_; }
    void SetNumberOfPasses(std::uint32_t value) override;
    std::uint32_t Algorithm() const override { return algorithm_; }
    std::vector<std::uint32_t> SupportedAlgorithms() const override { return {0, 1}; }
    void SetAlgorithm(std::uint32_t value) override;

private:
    std::uint32_t numberOfThreads_ = 1;
    TEncryptionMethod encryptionMethod_ = TEncryptionMethod::ZipCrypto;
    std::uint32_t dictionarySize_ = 900000;
    std::uint32_t compressionLevel_ = 7;
    TCompressionMethod compressionMethod_ = TCompressionMethod::Deflate;
    std::uint32_t numberOfPasses_ = 3;
    std::uint32_t algorithm_ = 1;
};

} // namespace archive
