// Times the quick-run box's search over a synthetic Index.dat of 1,000,000 lines of
// 40 to 120 characters: the load and the memory it holds, then through the real box
// in-process, per query, the time from the change to the first rows and to the whole
// list, and a burst of five changes 30 ms apart. Not a test: it prints figures.
// Usage: search_bench [repetitions per query, default 5]
#include "bench_program.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/search_index.h"
#include "core/startup.h"
#include "dialogs/edit_box.h"
#include "dialogs/index_search.h"
#include "ui/controls.h"
#include "ui/files.h"
#include "ui/strings.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLines = 1000000;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Every 10th name holds "common" (100,000), every 400th "rarely" (2,500), every
// 33,334th "qzx" (30); the folders pad the lines to 40..120 characters.
std::string IndexText() {
    // ASCII only, so the ANSI bytes are written directly: no wide copy of the whole file.
    std::string text;
    text.reserve(static_cast<size_t>(kLines) * 84);
    for (int i = 0; i < kLines; ++i) {
        std::string name = "file" + std::to_string(i);
        if (i % 10 == 0) name += " common";
        if (i % 400 == 0) name += " rarely";
        if (i % 33334 == 0) name += " qzx";
        std::string line = "C:\\Bench\\Area" + std::to_string(i % 97) + "\\Sub" + std::to_string(i % 13) + "\\";
        // 64-bit product: long is 32 bits on Windows, and a negative remainder would ask
        // for a line of billions of characters.
        const size_t length = 40 + static_cast<size_t>((static_cast<long long>(i) * 7919) % 81);
        const size_t fixed = line.size() + name.size() + 4;
        if (length > fixed) line += std::string(length - fixed - 1, 'p') + "\\";
        text += line + name + ".txt\r\n";
    }
    return text;
}

// Pumps the box's messages until `done` holds; false after 60 s.
bool PumpUntil(const std::function<bool()>& done) {
    const auto end = Clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (Clock::now() > end) return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        ui::Application::Instance().ProcessMessages();
    }
    return true;
}

struct QueryFigures {
    double first = 0;
    double whole = 0;
    int rows = 0;
};

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

QueryFigures TimeQuery(dialogs::TEditBox& box, const std::wstring& text, int repetitions) {
    std::vector<double> firsts, wholes;
    QueryFigures figures;
    for (int r = 0; r <= repetitions; ++r) {
        ui::SetControlText(box.Edit1, L"");  // the hint row; the next change starts afresh
        const auto start = Clock::now();
        ui::SetControlText(box.Edit1, text);
        const std::uint64_t generation = box.Generation();
        auto shows = [&] {
            const auto& applied = box.AppliedGenerations();
            return box.CompleteGeneration() == generation || (!applied.empty() && applied.back() == generation);
        };
        PumpUntil(shows);
        const double first = MsSince(start);
        PumpUntil([&] { return box.CompleteGeneration() == generation; });
        const double whole = MsSince(start);
        if (r == 0) continue;  // the first run warms the attribute cache
        firsts.push_back(first);
        wholes.push_back(whole);
        figures.rows = box.RowPath(0).empty() ? 0 : box.RowCount();
    }
    figures.first = Median(firsts);
    figures.whole = Median(wholes);
    return figures;
}

int Run(int repetitions) {
    bench::BenchProgram program("<?xml version=\"1.0\"?>\r\n<Items><item><Run>1</Run><Type>6</Type>"
                                "<Caption>Run</Caption></item></Items>\r\n");
    const std::wstring indexPath = core::AppDir + core::kIndexDataFile;
    if (!ui::WriteFileAtomic(indexPath, IndexText())) return 2;

    const auto loadStart = Clock::now();
    const size_t held = dialogs::SearchIndex::Load(indexPath).MemoryBytes();
    const double load = MsSince(loadStart);

    dialogs::TEditBox& box = *core::EditBox;
    box.Tag = 1;
    box.PlaceResultList(240, true);
    ShowWindow(box.Handle(), SW_SHOW);
    // The worker has loaded the index once a first search answers.
    ui::SetControlText(box.Edit1, L"warm up");
    if (!PumpUntil([&] { return box.CompleteGeneration() == box.Generation(); })) return 2;

    struct Query {
        const char* label;
        std::wstring text;
    };
    const std::vector<Query> queries = {{"no match", L"nomatchatall"}, {"about 30", L"qzx"},
                                        {"about 2,500", L"rarely"},    {"about 100,000", L"common"},
                                        {"wildcard r[a-c]rel?", L"r[a-c]rel?"}};
    std::vector<QueryFigures> figures;
    for (const Query& q : queries) figures.push_back(TimeQuery(box, q.text, repetitions));

    // A burst: five changes 30 ms apart, then the last text's whole list.
    ui::SetControlText(box.Edit1, L"");
    const int droppedBefore = box.DroppedPosts();
    Clock::time_point lastChange;
    size_t appliedAtLastChange = 0;
    for (const wchar_t* text : {L"com", L"comm", L"commo", L"common", L"common "}) {
        ui::SetControlText(box.Edit1, text);
        lastChange = Clock::now();
        appliedAtLastChange = box.AppliedGenerations().size();
        const auto until = lastChange + std::chrono::milliseconds(30);
        PumpUntil([&] { return Clock::now() >= until; });
    }
    const std::uint64_t last = box.Generation();
    PumpUntil([&] { return box.CompleteGeneration() == last; });
    const double burst = MsSince(lastChange);
    // Rows of an older text applied after the last change would be a fault.
    const auto& applied = box.AppliedGenerations();
    const auto olderApplied = std::count_if(applied.begin() + static_cast<std::ptrdiff_t>(appliedAtLastChange),
                                            applied.end(), [&](std::uint64_t g) { return g != last; });
    const int dropped = box.DroppedPosts() - droppedBefore;
    const int burstRows = box.RowCount();
    box.Hide();
    program.Close();

    std::printf("search_bench: %d lines of 40..120 characters, median of %d runs\n", kLines, repetitions);
    std::printf("  %-30s %9.1f ms, %.1f MB held\n", "load of Index.dat", load, held / 1048576.0);
    std::printf("  %-30s %12s %12s %9s\n", "query", "first rows", "whole list", "matches");
    for (size_t i = 0; i < queries.size(); ++i)
        std::printf("  %-30s %9.1f ms %9.1f ms %9d\n", queries[i].label, figures[i].first, figures[i].whole,
                    figures[i].rows);
    std::printf("  burst of 5 changes 30 ms apart: last list %.1f ms after the last change, %d rows;\n"
                "    older posts dropped %d, older rows applied %d (must be 0); goal: first rows <= 20 ms\n",
                burst, burstRows, dropped, static_cast<int>(olderApplied));
    return program.Status();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        static char fallback[] = "5";
        static char* args[] = {argv[0], fallback, nullptr};
        return bench::Main(2, args, "search_bench", Run);
    }
    return bench::Main(argc, argv, "search_bench", Run);
}
