// The short, operator-facing texts that name what is wrong with an archive entry. The station's
// read-back and the receiver's check use the same words for the same fault.
#pragma once

namespace interview_check::reason {

inline constexpr const char* Missing = "нет в архиве";
inline constexpr const char* Extra = "лишняя запись";
inline constexpr const char* Duplicate = "повторяется в архиве";
inline constexpr const char* SizeDiffers = "размер не совпадает";
inline constexpr const char* CrcDiffers = "контрольная сумма не совпадает";
inline constexpr const char* ReportDiffers = "отчёт в архиве отличается";
inline constexpr const char* LongerThanDeclared =
    "распакованные данные длиннее заявленного размера (возможна zip-бомба)";
inline constexpr const char* DamagedData = "сжатые данные повреждены";
inline constexpr const char* Truncated = "архив обрезан: не найден конец центрального каталога";
inline constexpr const char* NotZip = "не является zip-архивом";
inline constexpr const char* Encrypted = "запись зашифрована";

} // namespace interview_check::reason
