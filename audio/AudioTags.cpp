#include "audio/AudioTags.h"

#include "audio/WideText.h"

#include <charconv>

namespace audio {

void TAudioTags::Assign(const TAudioTags& Source) {
    if (&Source == this)
        return;
    std::map<std::string, std::string> copy;
    {
        std::lock_guard guard(Source.FLock);
        copy = Source.FValues;
    }
    std::lock_guard guard(FLock);
    FValues = std::move(copy);
}

void TAudioTags::Clear() {
    std::lock_guard guard(FLock);
    FValues.clear();
}

bool TAudioTags::Empty() const {
    std::lock_guard guard(FLock);
    return FValues.empty();
}

std::string TAudioTags::Value(const std::string& Name) const {
    std::lock_guard guard(FLock);
    auto found = FValues.find(Name);
    return found == FValues.end() ? std::string() : found->second;
}

void TAudioTags::SetValue(const std::string& Name, std::string Text) {
    std::lock_guard guard(FLock);
    if (Text.empty())
        FValues.erase(Name);
    else
        FValues[Name] = std::move(Text);
}

std::u16string TAudioTags::WideValue(const std::string& Name) const {
    return Utf8ToUtf16(Value(Name));
}

void TAudioTags::SetWideValue(const std::string& Name, const std::u16string& Text) {
    SetValue(Name, Utf16ToUtf8(Text));
}

std::uint32_t TAudioTags::NumberValue(const std::string& Name) const {
    const std::string text = Value(Name);
    std::uint32_t number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

void TAudioTags::SetNumberValue(const std::string& Name, std::uint32_t Number) {
    SetValue(Name, Number == 0 ? std::string() : std::to_string(Number));
}

} // namespace audio
