#include "verifier/tool/CommandLine.h"

#include <charconv>
#include <string_view>

#ifndef INTERVIEW_VERIFY_VERSION
#error "INTERVIEW_VERIFY_VERSION must be defined by the build"
#endif

namespace interview_check::tool {
namespace {

constexpr unsigned MaxJobs = 256;

unsigned JobCount(std::string_view text) {
    unsigned jobs = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (error != std::errc() || end != text.data() + text.size() || jobs == 0 || jobs > MaxJobs)
        throw UsageError("число заданий должно быть от 1 до " + std::to_string(MaxJobs) +
                         ", а не «" + std::string(text) + "»");
    return jobs;
}

} // namespace

Options ParseCommandLine(int argc, const char* const* argv) {
    Options options;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            options.paths.emplace_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--verbose" || argument == "-v") {
            options.verbose = true;
        } else if (argument == "--decode") {
            options.decodeAudio = true;
        } else if (argument == "--loudness") {
            options.loudness = true;
        } else if (argument == "--strict") {
            options.strict = options.loudness = true;
        } else if (argument == "--html" || argument.starts_with("--html=")) {
            if (argument == "--html" && ++i == argc)
                throw UsageError("после --html нужно имя файла страницы");
            options.htmlPath = argument == "--html" ? argv[i] : argument.substr(7);
            if (options.htmlPath.empty())
                throw UsageError("после --html нужно имя файла страницы");
            options.loudness = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--jobs" || argument == "-j") {
            if (++i == argc)
                throw UsageError("после " + std::string(argument) + " нужно число заданий");
            options.jobs = JobCount(argv[i]);
        } else if (argument.starts_with("--jobs=")) {
            options.jobs = JobCount(argument.substr(7));
        } else if (argument.starts_with("-j")) {
            options.jobs = JobCount(argument.substr(2));
        } else {
            throw UsageError("неизвестный параметр «" + std::string(argument) + "»");
        }
    }
    if (options.paths.empty() && !options.help && !options.version)
        throw UsageError("не указан ни один архив или папка");
    return options;
}

std::string UsageText(unsigned defaultJobs) {
    return "Использование: interview-verify [--json] [--jobs N] [--verbose] [--decode]\n"
           "                        [--loudness] [--strict] [--html ФАЙЛ] ПУТЬ...\n"
           "\n"
           "Проверяет архивы собеседования по русскому языку, присланные станциями.\n"
           "ПУТЬ — архив .zip или папка: в папке и её подпапках проверяются все файлы .zip.\n"
           "\n"
           "В каждом архиве проверяется: одна папка собеседования 01-ДДММГГГГ-код-аудитория;\n"
           "в ней один отчёт 01-ДДММГГГГ-000000-код-аудитория.csv в Windows-1251 со строками\n"
           "CR LF: заголовок, строка на каждую запись и число участников; каждая указанная\n"
           "запись есть в архиве с указанными размером и CRC-32 и читается как MP3 до конца;\n"
           "в папке нет записей, которых нет в отчёте; число участников равно номеру\n"
           "последней записи.\n"
           "\n"
           "Параметры:\n"
           "  --json          по строке JSON на архив вместо текста\n"
           "  --jobs N, -j N  сколько архивов проверять одновременно (по умолчанию " +
           std::to_string(defaultJobs) +
           ",\n"
           "                  по числу ядер)\n"
           "  --verbose, -v   показать каждую запись: размер, CRC-32 и длительность\n"
           "  --decode        кроме разбора кадров MP3 декодировать звук целиком (медленнее)\n"
           "  --loudness      измерить громкость каждой записи (LUFS, диапазон, пик, доля\n"
           "                  тишины и перегрузки) и предупредить о почти беззвучных,\n"
           "                  перегруженных и коротких записях\n"
           "  --strict        как --loudness, и предупреждение даёт код завершения 1\n"
           "  --html ФАЙЛ     записать страницу HTML с итогами и полосами громкости записей\n"
           "                  (включает --loudness)\n"
           "  --help, -h      эта справка\n"
           "  --version       версия программы\n"
           "\n"
           "Код завершения: 0 — все архивы исправны (предупреждения его не меняют без\n"
           "--strict); 1 — хотя бы один архив с ошибками (или с предупреждением при --strict);\n"
           "2 — какой-то путь не удалось прочитать или параметры неверны.\n";
}

std::string VersionText() {
    return "interview-verify, версия " INTERVIEW_VERIFY_VERSION
           " — проверка архивов собеседования по русскому языку\n";
}

} // namespace interview_check::tool
