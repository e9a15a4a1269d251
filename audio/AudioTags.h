// Tag containers owned by every tagged file output. A container holds named values that start
// empty: a text never set reads as "", a number never set reads as 0. Values are guarded, since
// the output's worker reads them while the GUI thread may assign them.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace audio {

class TAudioTags {
public:
    TAudioTags() = default;
    TAudioTags(const TAudioTags&) = delete;
    TAudioTags& operator=(const TAudioTags&) = delete;
    virtual ~TAudioTags() = default;

    // Copies every value of Source; this container keeps its identity.
    void Assign(const TAudioTags& Source);
    void Clear();
    bool Empty() const;

    // Any named value as UTF-8 text.
    std::string Value(const std::string& Name) const;
    void SetValue(const std::string& Name, std::string Text);

protected:
    std::u16string WideValue(const std::string& Name) const;
    void SetWideValue(const std::string& Name, const std::u16string& Text);
    std::uint32_t NumberValue(const std::string& Name) const;
    void SetNumberValue(const std::string& Name, std::uint32_t Number);

private:
    mutable std::mutex FLock;
    std::map<std::string, std::string> FValues;
};

// Single-byte texts (the program's UTF-8 here) and numbers.
class TId3v1Tags : public TAudioTags {
public:
    std::string Title() const { return Value("Title"); }
    void SetTitle(std::string Text) { SetValue("Title", std::move(Text)); }
    std::string Artist() const { return Value("Artist"); }
    void SetArtist(std::string Text) { SetValue("Artist", std::move(Text)); }
    std::string Album() const { return Value("Album"); }
    void SetAlbum(std::string Text) { SetValue("Album", std::move(Text)); }
    std::string Comment() const { return Value("Comment"); }
    void SetComment(std::string Text) { SetValue("Comment", std::move(Text)); }
    std::string Genre() const { return Value("Genre"); }
    void SetGenre(std::string Text) { SetValue("Genre", std::move(Text)); }
    std::uint16_t Year() const { return static_cast<std::uint16_t>(NumberValue("Year")); }
    void SetYear(std::uint16_t Number) { SetNumberValue("Year", Number); }
    std::uint8_t Track() const { return static_cast<std::uint8_t>(NumberValue("Track")); }
    void SetTrack(std::uint8_t Number) { SetNumberValue("Track", Number); }
    std::uint8_t GenreId() const { return static_cast<std::uint8_t>(NumberValue("GenreId")); }
    void SetGenreId(std::uint8_t Number) { SetNumberValue("GenreId", Number); }
};

// Wide texts, except Year and Track, which are single-byte texts.
class TId3v2Tags : public TAudioTags {
public:
    std::u16string Title() const { return WideValue("Title"); }
    void SetTitle(const std::u16string& Text) { SetWideValue("Title", Text); }
    std::u16string Artist() const { return WideValue("Artist"); }
    void SetArtist(const std::u16string& Text) { SetWideValue("Artist", Text); }
    std::u16string Album() const { return WideValue("Album"); }
    void SetAlbum(const std::u16string& Text) { SetWideValue("Album", Text); }
    std::u16string Genre() const { return WideValue("Genre"); }
    void SetGenre(const std::u16string& Text) { SetWideValue("Genre", Text); }
    std::u16string Comment() const { return WideValue("Comment"); }
    void SetComment(const std::u16string& Text) { SetWideValue("Comment", Text); }
    std::u16string Composer() const { return WideValue("Composer"); }
    void SetComposer(const std::u16string& Text) { SetWideValue("Composer", Text); }
    std::u16string Encoder() const { return WideValue("Encoder"); }
    void SetEncoder(const std::u16string& Text) { SetWideValue("Encoder", Text); }
    std::u16string Copyright() const { return WideValue("Copyright"); }
    void SetCopyright(const std::u16string& Text) { SetWideValue("Copyright", Text); }
    std::u16string Language() const { return WideValue("Language"); }
    void SetLanguage(const std::u16string& Text) { SetWideValue("Language", Text); }
    std::u16string Link() const { return WideValue("Link"); }
    void SetLink(const std::u16string& Text) { SetWideValue("Link", Text); }
    std::string Year() const { return Value("Year"); }
    void SetYear(std::string Text) { SetValue("Year", std::move(Text)); }
    std::string Track() const { return Value("Track"); }
    void SetTrack(std::string Text) { SetValue("Track", std::move(Text)); }
};

// APEv2 items are free-form named texts: Value / SetValue.
class TAPEv2Tags : public TAudioTags {};

} // namespace audio
