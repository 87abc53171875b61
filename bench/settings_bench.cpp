// Times the settings dialog: its showing (FormShow) with 20 skins that each carry a
// preview.jpg, and an Apply that switches the skin on a 20-row menu. Not a test: it
// prints the figures.
// Usage: settings_bench [repetitions]
#include "bench_program.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/motion.h"
#include "core/run_value.h"
#include "dialogs/form5.h"
#include "support/program_folder.h"
#include "ui/controls.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kSkins = 20;
constexpr int kRows = 20;

std::string Menu() {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<Items>";
    for (int i = 0; i < kRows; ++i)
        xml += "<item><Run></Run><Type>0</Type><Caption>Row " + std::to_string(i) + "</Caption><subitem/></item>";
    return xml + "</Items>\r\n";
}

// Copies of the default skin, each with the default skin's preview.
void AddSkins(const std::wstring& skin) {
    const std::wstring themes = core::AppDir + L"Themes\\";
    for (int i = 1; i < kSkins; ++i)
        testing_support::CopyTree(themes + skin, themes + skin + L"Copy" + std::to_wstring(i));
}

int Run(int repetitions) {
    bench::BenchProgram program(Menu());
    const std::wstring skin = ui::Utf8ToWide(program.SkinName());
    AddSkins(skin);
    core::SetMotionClockForTests([](int) {}, [](int) {});
    core::RunValueFunctions run{[](HKEY) { return false; }, [](HKEY, const std::wstring&) { return 0L; },
                                [](HKEY) { return 0L; }};
    core::SetRunValueFunctionsForTests(run);
    dialogs::TForm5& dialog = *core::Form5;

    const double show = bench::MedianMilliseconds(repetitions, [&] { dialog.FormShow(); });
    int row = 0;
    const double apply = bench::MedianMilliseconds(repetitions, [&] {
        dialog.FormShow();
        row = row == 0 ? 1 : 0;
        ui::SetComboIndex(dialog.Control(dialogs::form5::kSkinComboBox), row);
        dialog.SkinComboBoxChange();
        dialog.Button3Click();
    });
    const size_t skins = dialog.SkinRows.size();
    const bool preview = dialog.PreviewShown();
    core::SetRunValueFunctionsForTests(std::nullopt);
    core::SetMotionClockForTests(nullptr, nullptr);
    program.Close();

    std::printf("settings_bench: %zu skins (%d of them the default skin and its copies, each with a preview; "
                "preview %s), a %d-row menu; median of %d\n",
                skins, kSkins, preview ? "shown" : "missing", kRows, repetitions);
    std::printf("  FormShow:                    %8.3f ms\n", show);
    std::printf("  Apply with a skin switch:    %8.3f ms\n", apply);
    return program.Status();
}

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, "settings_bench", Run); }
