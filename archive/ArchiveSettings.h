// Capabilities an archive format may offer: each setting is its own interface, and the library
// binding asks an archive for each one in turn (dynamic_cast), so a format offers exactly the
// settings it has.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

namespace archive {

enum class TCompressionMethod : std::uint8_t {
    Copy = 0,
    Deflate = 1,
    Deflate64 = 2,
    BZip2 = 3,
    LZMA = 4,
    LZMA2 = 5,
    PPMd = 6
};
enum class TEncryptionMethod : std::uint8_t {
    None = 0,
    AES128 = 1,
    AES192 = 2,
    AES256 = 3,
    ZipCrypto = 4
};

class ThreadsSetting {
public:
    virtual ~ThreadsSetting() = default;
    virtual std::uint32_t NumberOfThreads() const = 0;
    virtual void SetNumberOfThreads(std::uint32_t value) = 0;
};
class EncryptionSetting {
public:
    virtual ~EncryptionSetting() = default;
    virtual TEncryptionMethod EncryptionMethod() const = 0;
    virtual std::set<TEncryptionMethod> SupportedEncryptionMethods() const = 0;
    virtual void SetEncryptionMethod(TEncryptionMethod value) = 0;
};
class DictionarySetting {
public:
    virtual ~DictionarySetting() = default;
    virtual std::uint32_t DictionarySize() const = 0;
    virtual void SetDictionarySize(std::uint32_t value) = 0;
};
class LevelSetting {
public:
    virtual ~LevelSetting() = default;
    virtual std::uint32_t CompressionLevel() const = 0;
    virtual std::uint32_t MaximumCompressionLevel() const = 0;
    virtual std::uint32_t MinimumCompressionLevel() const = 0;
    virtual void SetCompressionLevel(std::uint32_t value) = 0;
};
class MethodSetting {
public:
    virtual ~MethodSetting() = default;
    virtual TCompressionMethod CompressionMethod() const = 0;
    virtual std::set<TCompressionMethod> SupportedCompressionMethods() const = 0;
    virtual void SetCompressionMethod(TCompressionMethod value) = 0;
};
class PassesSetting {
public:
    virtual ~PassesSetting() = default;
    virtual std::uint32_t NumberOfPasses() const = 0;
    virtual void SetNumberOfPasses(std::uint32_t value) = 0;
};
class AlgorithmSetting {
public:
    virtual ~AlgorithmSetting() = default;
    virtual std::uint32_t Algorithm() const = 0;
    virtual std::vector<std::uint32_t> SupportedAlgorithms() const = 0;
    virtual void SetAlgorithm(std::uint32_t value) = 0;
};
class SfxRemovalSetting {
public:
    virtual ~SfxRemovalSetting() = default;
    virtual bool RemoveSfxBlock() const = 0;
};
class HeaderCompressionSetting {
public:
    virtual ~HeaderCompressionSetting() = default;
    virtual bool CompressHeader() const = 0;
    virtual bool CompressHeaderFull() const = 0;
};
class HeaderEncryptionSetting {
public:
    virtual ~HeaderEncryptionSetting() = default;
    virtual bool EncryptHeader() const = 0;
};
class CreationTimeSetting {
public:
    virtual ~CreationTimeSetting() = default;
    virtual bool SaveCreationTime() const = 0;
};
class AccessTimeSetting {
public:
    virtual ~AccessTimeSetting() = default;
    virtual bool SaveLastAccessTime() const = 0;
};
class WriteTimeSetting {
public:
    virtual ~WriteTimeSetting() = default;
    virtual bool SaveLastWriteTime() const = 0;
};
class SolidSetting {
public:
    virtual ~SolidSetting() = default;
    virtual bool SolidExtension() const = 0;
    virtual std::int64_t SolidBlockSize() const = 0;
};

} // namespace archive
