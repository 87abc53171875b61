// Times what loading a language adds to start-up: LoadLanguage over the shipped
// translation, and over a 1 MiB file (the largest that is read), with the program's
// windows up. Not a test: it prints the figures.
// Usage: language_bench [repetitions]
#include "bench_program.h"

#include "core/form1.h"
#include "core/forms.h"
#include "dialogs/language.h"
#include "popups/zv_hint.h"
#include "ui/files.h"

#include <cstdio>
#include <string>

namespace {

// The shipped translation's keys, repeated under numbered sections of unknown names
// until the file is exactly the reader's limit.
std::string LargeFile(const std::string& translation) {
    std::string bytes = translation;
    for (int section = 0; bytes.size() < dialogs::kMaxLanguageFileBytes; ++section)
        bytes += "\r\n[Copy" + std::to_string(section) + "]\r\n" + translation.substr(3);
    bytes.resize(dialogs::kMaxLanguageFileBytes);
    return bytes;
}

int Run(int repetitions) {
    bench::BenchProgram program("<?xml version=\"1.0\"?>\r\n<Items><item><Run></Run><Type>0</Type>"
                                "<Caption>Row</Caption><subitem/></item></Items>\r\n");
    const std::wstring languages = core::AppDir + L"languages\\";
    const std::string translation = ui::ReadFileBytes(languages + L"German.ini").value_or(std::string());
    const std::string large = LargeFile(translation);
    ui::WriteFileAtomic(languages + L"Large.ini", large);
    popups::TZVHint& hint = *core::ZVHint;

    const double none = bench::MedianMilliseconds(repetitions, [&] { hint.LoadLanguage(L""); });
    const double german = bench::MedianMilliseconds(repetitions, [&] { hint.LoadLanguage(L"German"); });
    const double big = bench::MedianMilliseconds(repetitions, [&] { hint.LoadLanguage(L"Large"); });
    const bool translated = core::Form1->PopupMenu1.Item(L"Cut").Caption != L"Cut";
    program.Close();

    std::printf("language_bench: LoadLanguage with the windows up (German %s); median of %d\n",
                translated ? "applied" : "NOT applied", repetitions);
    std::printf("  no language (the defaults):      %8.3f ms\n", none);
    std::printf("  German.ini (%7zu bytes):       %8.3f ms\n", translation.size(), german);
    std::printf("  a 1 MiB file (%7zu bytes):     %8.3f ms\n", large.size(), big);
    if (translation.empty() || !translated) return 1;
    return program.Status();
}

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, "language_bench", Run); }
