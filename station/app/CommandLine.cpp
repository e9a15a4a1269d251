#include "station/app/CommandLine.h"

#include "archive/SevenzipLibrary.h"
#include "audio/GainAnalysis.h"
#include "audio/lame.h"
#include "audio/taglib.h"
#include "platform/DynamicLibrary.h"

#include <ostream>
#include <string_view>

namespace station {
namespace {

constexpr std::string_view ProgramName = "interview-station";

constexpr std::string_view HelpText =
    "Использование: interview-station [--help | --version | --check]\n"
    "\n"
    "Собеседование по русскому языку: рабочее место аудитории для записи устных ответов\n"
    "участников итогового собеседования по русскому языку в 9 классе.\n"
    "\n"
    "Папка собеседования с записями участников и отчётом и архив ZIP сохраняются на рабочем\n"
    "столе пользователя. Тестовая запись микрофона (test01.mp3) - в папке программы или, если\n"
    "она закрыта для записи, в $XDG_CACHE_HOME/interview-station (~/.cache/interview-station).\n"
    "Журнал работы - $XDG_STATE_HOME/interview-station/station.log\n"
    "(~/.local/state/interview-station/station.log).\n"
    "\n"
    "  --check    проверить, что загружаются библиотеки записи и архивации\n"
    "  --version  показать версию программы\n"
    "  --help     показать эту справку\n";

// One run-time loaded library: its file name, how to load it, and an entry point that tells where
// the loaded copy came from.
struct LoadedLibraryCheck {
    std::string_view fileName;
    const void* (*load)();
};

template <typename Function> const void* Address(Function function) {
    return reinterpret_cast<const void*>(function);
}

const LoadedLibraryCheck LibraryChecks[] = {
    {"liblame_enc.so",
     [] {
         audio::EnsureEncoderLibrary();
         return audio::EncoderLibraryPresent() ? Address(audio::EncoderLibrary().beInitStream)
                                               : nullptr;
     }},
    {"libgain.so",
     [] {
         return audio::LoadGainLibrary() ? Address(audio::GainEntryPoints().InitGainAnalysis)
                                         : nullptr;
     }},
    {"libtag_c.so.0",
     [] {
         audio::EnsureTagLibrary();
         return audio::TagLibraryPresent() ? Address(audio::TagLibrary().taglib_file_new) : nullptr;
     }},
    {"7z.so",
     [] {
         const auto* library = archive::sevenzip::LoadSevenZipLibrary();
         return library ? Address(library->CreateObject) : nullptr;
     }},
};

// Loads each library the way the recording and the archive do; one line per library.
int CheckLibraries(std::ostream& out) {
    int status = 0;
    for (const LoadedLibraryCheck& check : LibraryChecks) {
        out << check.fileName << ": ";
        if (const void* entry = check.load()) {
            out << platform::LoadedFileHolding(entry) << '\n';
        } else {
            out << "не загружается (" << platform::DynamicLibrary::LastLoadError() << ")\n";
            status = 1;
        }
    }
    return status;
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
            out << HelpText;
            return 0;
        }
        if (argument == "--check")
            return CheckLibraries(out);
    }
    return std::nullopt;
}

} // namespace station
