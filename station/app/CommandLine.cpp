#include "station/app/CommandLine.h"

#include "archive/SevenzipLibrary.h"
#include "audio/GainAnalysis.h"
#include "audio/lame.h"
#include "audio/taglib.h"
#include "platform/DynamicLibrary.h"
#include "station/OperatorTexts.h"

#include <ostream>
#include <string_view>

namespace station {
namespace {

constexpr std::string_view ProgramName = "interview-station";

template <typename Function> const void* Address(Function function) {
    return reinterpret_cast<const void*>(function);
}

// Loads one library the way the recording or the archive does and tells where the loaded copy came
// from (the file holding `entry`), or why it could not be loaded.
template <typename Entries, typename Entry>
bool CheckLibrary(std::ostream& out, platform::RuntimeLibrary<Entries>& library,
                  Entry Entries::*entry) {
    // Loaded first, so that the name shown is that of the candidate taken.
    const bool loaded = library.Load();
    out << library.FileName() << ": ";
    if (!loaded) {
        out << LibraryNotLoadedText(library.LoadError()) << '\n';
        return false;
    }
    out << platform::LoadedFileHolding(Address(library.Get().*entry)) << '\n';
    return true;
}

// One line per library; 1 when any of them cannot be loaded.
int CheckLibraries(std::ostream& out) {
    bool loaded =
        CheckLibrary(out, audio::EncoderLibrary(), &audio::TEncoderEntryPoints::beInitStream);
    loaded &= CheckLibrary(out, audio::GainLibrary(), &audio::TGainEntryPoints::InitGainAnalysis);
    loaded &= CheckLibrary(out, audio::TagLibrary(), &audio::TTagEntryPoints::taglib_file_new);
    loaded &= CheckLibrary(out, archive::sevenzip::Library(),
                           &archive::sevenzip::TSevenzipLibrary::CreateObject);
    return loaded ? 0 : 1;
}

} // namespace

std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out) {
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--version") {
            out << ProgramName << ' ' << STATION_VERSION << '\n';
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            out << CommandLineHelpText;
            return 0;
        }
        if (argument == "--check")
            return CheckLibraries(out);
    }
    return std::nullopt;
}

} // namespace station
