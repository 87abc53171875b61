#include "dialogs/about_credits.h"

#include "ui/handles.h"

#include <algorithm>
#include <optional>

namespace dialogs {
namespace {

// Everything after the version line, in the order the box shows it.
constexpr const wchar_t* kCreditsBody[] = {
    L" ",
    L"For everyone who likes a tidy desktop",
    L" ",
    L"+Testers",
    L"nightjar",
    L"Paper Lantern",
    L"m.vale",
    L"tinkerbox",
    L" ",
    L"+Forum members",
    L"Quillon",
    L"greyheron",
    L"Slow Loris",
    L"amberfield",
    L" ",
    L"+Installation package",
    L"packwright",
    L" ",
    L"+Translators",
    L"Ostrander (Deutsch)",
    L"Liska (Čeština)",
    L"Ворон (Русский)",
    L"Solène (Français)",
    L" ",
};

constexpr COLORREF kCreditsGrey = RGB(128, 128, 128);

ui::UniqueFont MakeFont(const CreditsFont& font, bool bold) {
    return ui::UniqueFont(CreateFontW(-font.PixelHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      DEFAULT_PITCH | FF_DONTCARE, font.Face.c_str()));
}

int LineHeightIn(HDC dc, HFONT font) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, L"W", 1, &size);
    SelectObject(dc, old);
    return size.cy;
}

// Where a line starts so that its ink, not its advance, is centred across `width`.
// The advance holds the side bearings of the first and last letters, and a hinted
// font's advances need not match what it draws (Wine's report bearings of 0 and put
// some lines 3 px off the middle), so the line is drawn once aside and its inked
// columns are measured. Nullopt for a line that draws nothing.
std::optional<int> CentredLeft(HDC target, HFONT font, std::wstring_view line, int width, int height) {
    HGDIOBJ old = SelectObject(target, font);
    SIZE extent{};
    GetTextExtentPoint32W(target, line.data(), static_cast<int>(line.size()), &extent);
    SelectObject(target, old);
    const int pad = height;  // room for overhanging letters on either side
    if (extent.cx <= 0) return std::nullopt;
    if (extent.cx > kMaxCreditsHeight) return (width - extent.cx) / 2;  // too long to measure; clipped anyway
    ui::Dib scratch(extent.cx + 2 * pad, height);
    scratch.Fill(0xFFFFFFFF);
    HDC dc = scratch.Dc();
    old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutW(dc, pad, 0, line.data(), static_cast<int>(line.size()));
    SelectObject(dc, old);
    GdiFlush();
    int left = scratch.Width();
    int right = -1;
    for (int y = 0; y < scratch.Height(); ++y)
        for (int x = 0; x < scratch.Width(); ++x)
            if ((scratch.Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    if (right < left) return std::nullopt;
    return (width - (right - left + 1)) / 2 - (left - pad);
}

}  // namespace

std::vector<std::wstring> CreditsText(std::wstring_view version) {
    std::vector<std::wstring> lines;
    lines.push_back(L"+Zarvo " + std::wstring(version));
    lines.insert(lines.end(), std::begin(kCreditsBody), std::end(kCreditsBody));
    return lines;
}

int CreditsLineHeight(const CreditsFont& font) {
    ui::UniqueFont regular = MakeFont(font, false);
    ui::UniqueDc dc(CreateCompatibleDC(nullptr));
    if (!regular || !dc) return 0;
    return LineHeightIn(dc.Get(), regular.Get());
}

std::unique_ptr<ui::Dib> RenderCredits(const std::vector<std::wstring>& lines, const CreditsFont& font, int width) {
    const int h = CreditsLineHeight(font);
    if (lines.empty() || h <= 0 || width <= 0) return nullptr;
    ui::UniqueFont regular = MakeFont(font, false);
    ui::UniqueFont bold = MakeFont(font, true);
    if (!regular || !bold) return nullptr;
    const int count = std::min(static_cast<int>(lines.size()), kMaxCreditsHeight / h);
    auto bitmap = std::make_unique<ui::Dib>(width, count * h);
    bitmap->Fill(0xFFFFFFFF);
    HDC dc = bitmap->Dc();
    HGDIOBJ oldFont = SelectObject(dc, regular.Get());
    ui::ScopeExit restore([dc, oldFont] { SelectObject(dc, oldFont); });
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kCreditsGrey);
    for (int i = 0; i < count; ++i) {
        std::wstring_view line = lines[static_cast<size_t>(i)];
        const bool heading = !line.empty() && line.front() == L'+';
        if (heading) line.remove_prefix(1);
        HFONT face = heading ? bold.Get() : regular.Get();
        const std::optional<int> left = CentredLeft(dc, face, line, width, h);
        if (!left) continue;
        SelectObject(dc, face);
        TextOutW(dc, *left, i * h, line.data(), static_cast<int>(line.size()));
    }
    GdiFlush();
    return bitmap;
}

void CreditsScroll::Start(int creditsHeight) {
    CreditsHeight = creditsHeight;
    ScrollOffset = -AreaHeight;
    ScrollPaused = false;
}

int CreditsScroll::Tick() {
    if (ScrollOffset >= CreditsHeight) ScrollOffset = -AreaHeight;
    const int drawn = ScrollOffset;
    if (!ScrollPaused) ++ScrollOffset;
    return drawn;
}

}  // namespace dialogs
