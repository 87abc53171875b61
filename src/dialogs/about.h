// TAbout, the about box: a header picture, the credits scrolling upwards under a fade
// strip, three links and OK.
#pragma once

#include "dialogs/about_credits.h"
#include "ui/form.h"
#include "ui/handles.h"
#include "ui/images.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <vector>

namespace dialogs {

inline constexpr int kAboutButton3 = 300;  // OK
inline constexpr int kAboutClientWidth = 265;
inline constexpr int kAboutClientHeight = 330;
// Panel2, the white part above the button strip, and Image1, the credits area in it.
inline constexpr RECT kAboutPanel2{0, 0, 265, 289};
inline constexpr RECT kAboutImage1{0, 64, 265, 64 + 185};
inline constexpr int kAboutHeaderHeight = 97;  // Image2, over the area's top 33 px
inline constexpr int kAboutFadeHeight = 40;

// One link label: its caption, the address its click opens and where it lies.
struct AboutLink {
    std::wstring Caption;
    std::wstring Hint;
    RECT Bounds{};
};

class TAbout : public ui::Form {
public:

    // --- handlers
    void FormShow();
    void FormActivate();
    void Button1Click();
    void Timer1Timer();
    void Label1Click(const AboutLink& link);
    void Image1MouseDown();
    void Image1MouseUp();

    HWND Button3() const { return GetDlgItem(Handle(), kAboutButton3); }
    const std::vector<AboutLink>& Links() const noexcept { return links_; }
    // The link under a client point; -1 for none.
    int LinkAt(int x, int y) const;
    const CreditsScroll& Scroll() const noexcept { return scroll_; }
    // The rendered credits; null while the box is closed.
    const ui::Dib* CreditsBitmap() const noexcept { return creditsBitmap_.get(); }
    // Panel2 as last drawn, for the window to show.
    const ui::Dib& Panel() const noexcept { return panel_; }

    ui::FormTimer Timer1{*this, 1, 42};

protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
    void FormClose() override;
    void FormDestroy() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnTimer(UINT_PTR id) override;
    void MouseDown(ui::MouseButton button, UINT shift, int x, int y) override;
    void MouseUp(ui::MouseButton button, UINT shift, int x, int y) override;
    void CaptureLost() override;

private:
    void CreateLinks();
    // Draws Panel2 into its back buffer with the credits at `offset`.
    void ComposePanel(int offset);
    void DrawCredits(int offset);
    void DrawLinks();
    void Paint();
    bool SetLinkCursor();

    std::vector<AboutLink> links_;
    std::vector<std::wstring> creditsLines_;       // the credits of this showing
    std::unique_ptr<ui::Dib> creditsBitmap_;       // freed with the lines at every close
    CreditsScroll scroll_;
    ui::Dib panel_;                                 // Panel2's back buffer
    std::unique_ptr<Gdiplus::Bitmap> header_;       // Image2
    std::unique_ptr<Gdiplus::Bitmap> fade_;         // png2
    ui::UniqueFont linkFont_;
    int pressedLink_ = -1;
};

}  // namespace dialogs
