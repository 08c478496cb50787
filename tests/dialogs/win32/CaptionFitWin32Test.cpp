// Every caption of every form is drawn whole: measured in the font its control
// really draws with, it fits the part of the control that text may take. A clipped
// "Top margi" passes every test that reads captions through GetWindowText.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Text.h"
#include "base/Texts.h"
#include "chooser/EditQueue.h"
#include "chooser/frmChooseFiles.h"
#include "chooser/frmLoading.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/PageChooser.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMain.h"
#include "dialogs/frmProgress.h"
#include "host/Application.h"
#include "simhost/SimHost.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "tests/dialogs/win32/RecordingToolkit.h"
#include "tests/support/WindowDriver.h"
#include "ui/win32/DialogTemplate.h"
#include "ui/win32/Win32Form.h"

namespace tavisk::testing {
namespace {

// Where a group box starts its caption, from either side of its border (comctl32's
// frame drawing).
constexpr int kFrameCaptionInset = 7;

// One caption: the room its control gives the text and what the text takes there.
struct Caption {
    std::wstring control;  // window class and text
    std::wstring face;     // the font the control draws with
    SIZE needed{}, room{};
};

// The text flags and the text area of a button or a static control, as the control
// draws it; false for a control that draws no caption (icons, rules, empty frames).
bool TextArea(HWND control, HDC dc, UINT& flags, RECT& area) {
    const std::wstring name = ClassName(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    GetClientRect(control, &area);
    if (Text(control).empty()) return false;
    if (lstrcmpiW(name.c_str(), L"Button") == 0) {
        flags = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        switch (style & BS_TYPEMASK) {
            case BS_GROUPBOX:
                InflateRect(&area, -kFrameCaptionInset, 0);
                return true;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON: {
                // The glyph, then a gap of half a digit's width of the control's font.
                INT digit = 0;
                GetCharWidth32W(dc, L'0', L'0', &digit);
                area.left += GetSystemMetrics(SM_CXMENUCHECK) + digit / 2;
                return true;
            }
            default:
                // Inside the 3-D edge and the focus rectangle drawn within it.
                InflateRect(&area, -(GetSystemMetrics(SM_CXEDGE) + 1), -(GetSystemMetrics(SM_CYEDGE) + 1));
                return true;
        }
    }
    if (lstrcmpiW(name.c_str(), L"Static") != 0) return false;
    flags = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
            // These wrap at the control's width, unless they end in an ellipsis.
            flags |= (style & SS_ELLIPSISMASK) ? DT_SINGLELINE : DT_WORDBREAK | DT_EXPANDTABS;
            return true;
        case SS_LEFTNOWORDWRAP:
        case SS_SIMPLE:
            flags |= DT_SINGLELINE;
            return true;
        default:
            return false;
    }
}

// The captions of a window's visible labels, check boxes, option buttons, buttons
// and frames.
std::vector<Caption> Captions(HWND window) {
    std::vector<Caption> captions;
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsWindowVisible(control)) continue;
        const HDC dc = GetDC(control);
        auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
        const HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
        UINT flags = 0;
        RECT area{};
        if (TextArea(control, dc, flags, area)) {
            wchar_t face[LF_FACESIZE] = {};
            GetTextFaceW(dc, LF_FACESIZE, face);
            const std::wstring text = Text(control);
            const LONG width = area.right - area.left;
            // A wrapping text is laid out at the control's width; a word wider than
            // that widens the result.
            RECT needed{0, 0, (flags & DT_WORDBREAK) ? width : 0, 0};
            DrawTextW(dc, text.c_str(), -1, &needed, flags | DT_CALCRECT);
            captions.push_back({ClassName(control) + L" \"" + text + L"\"",
                                face,
                                {needed.right, needed.bottom},
                                {width, area.bottom - area.top}});
        }
        SelectObject(dc, previous);
        ReleaseDC(control, dc);
    }
    return captions;
}

std::string Narrow(const std::wstring& text) { return base::ToUtf8(text); }

// The top-level window with this caption other than `other`.
HWND TopWindow(const wchar_t* caption, HWND other = nullptr) {
    for (HWND found = FindWindowExW(nullptr, nullptr, nullptr, caption); found;
         found = FindWindowExW(nullptr, found, nullptr, caption)) {
        if (found != other && IsWindowVisible(found)) return found;
    }
    return nullptr;
}

class CaptionFitWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        auto web = std::make_shared<simhost::WebModel>(L"file:///C:/Webs/site");
        web->addFile(L"a.htm", L"Alpha");
        web->addFile(L"docs/b.htm", L"Beta");
        host.openWeb(web);
        host::SetApplication(simhost::InMemoryHost(host));
        ui::SetToolkit(std::make_shared<RecordingToolkit>());
        InstallPageChooser();
        ShowOptionsDialog();
        Pump();
        main = static_cast<ui::win32::Win32Form&>(frmMain::Instance().form()).window();
    }
    void TearDown() override {
        frmChooseFiles::Discard();
        frmAbout::CloseIfOpen();
        if (frmMain::Exists()) frmMain::Instance().unload();
        Pump();
        frmProgress::SetClock(nullptr);
        base::SetLanguage(base::Language::English);
        SetPageChooser(nullptr);
        ui::SetToolkit(nullptr);
        host::SetApplication(nullptr);
    }

    simhost::SimHost host;
    HWND main = nullptr;
};

TEST_F(CaptionFitWin32Test, EveryCaptionOfEveryFormFitsInTheFontItsControlDrawsWith) {
    // Run at another resolution (AtDpi.cmake), the program sees it.
    if (const char* dpi = std::getenv("TAVISK_EXPECTED_DPI")) {
        ASSERT_EQ(ui::win32::ScreenDpi(), std::atoi(dpi));
    }
    // Each form as a user meets it, each new one in front, with the longest texts it
    // shows: the progress line of a web of 100,000 pages; in every language.
    std::unique_ptr<frmLoading> wait;
    std::unique_ptr<frmProgress> progress;
    auto now = std::chrono::steady_clock::now();
    using base::Text, base::TextId;
    const char* const names[] = {"en", "de", "fr", "ja"};
    for (const base::Language language : base::kLanguages) {
        const char* name = names[static_cast<int>(language)];
        SCOPED_TRACE(name);
        if (language != base::Language::English) {
            frmChooseFiles::Discard();
            frmMain::Instance().unload();
            base::SetLanguage(language);
            ShowOptionsDialog();
            Pump();
            main = static_cast<ui::win32::Win32Form&>(frmMain::Instance().form()).window();
        }
        if (language == base::Language::Japanese) {
            // The Japanese interface font the dialog font links to has the glyphs: no boxes.
            const HDC dc = GetDC(main);
            const HGDIOBJ previous = SelectObject(
                dc, CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS UI Gothic"));
            WORD glyphs[2] = {};
            GetGlyphIndicesW(dc, L"余白", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
            DeleteObject(SelectObject(dc, previous));
            ReleaseDC(main, dc);
            EXPECT_TRUE(glyphs[0] != 0xffff && glyphs[1] != 0xffff);
        }
        const struct {
            const char* form;
            size_t captions;  // labels, check boxes, option buttons, buttons and frames with text
            std::function<HWND()> open;
        } forms[] = {
            {"frmMain", 15, [&] { return main; }},
            {"frmAbout", 5,
             [&] {
                 SendMessageW(Child(main, L"Button", Text(TextId::AboutButton)), BM_CLICK, 0, 0);
                 Pump();
                 return TopWindow(Text(TextId::AboutCaption));
             }},
            {"frmChooseFiles", 7,
             [&] {
                 SendMessageW(Child(main, L"Button", Text(TextId::SelectedPages)), BM_CLICK, 0, 0);
                 SendMessageW(Child(main, L"Button", Text(TextId::EditQueue)), BM_CLICK, 0, 0);
                 Pump();
                 return TopWindow(Text(TextId::ChooserCaption));
             }},
            {"frmProgress", 3,
             [&] {
                 frmProgress::SetClock([&now] { return now += std::chrono::seconds(2); });
                 progress = std::make_unique<frmProgress>(&frmMain::Instance().form());
                 progress->next(99998, 100000, L"file:///C:/Webs/site/products/index.htm");
                 return TopWindow(frmProgress::kCaption, main);
             }},
            {"frmLoading", 2,
             [&] {
                 wait = std::make_unique<frmLoading>();
                 return TopWindow(Text(TextId::WaitCaption));
             }},
        };
        for (const auto& form : forms) {
            SCOPED_TRACE(form.form);
            const HWND window = form.open();
            ASSERT_NE(window, nullptr);
            SaveScreenshot(window, std::wstring(form.form, form.form + strlen(form.form)) + L"-captions-" +
                                       std::wstring(name, name + 2) + L".png");
            const auto captions = Captions(window);
            EXPECT_EQ(captions.size(), form.captions);
            for (const auto& caption : captions) {
                std::printf("%s %-15s %-78s needs %3ld x %2ld, has %3ld x %2ld (%s)\n", name, form.form,
                            Narrow(caption.control).c_str(), caption.needed.cx, caption.needed.cy, caption.room.cx,
                            caption.room.cy, Narrow(caption.face).c_str());
                // The dialogs are laid out for the bitmap MS Sans Serif (Japanese ones for
                // the font behind MS Shell Dlg); a stand-in face is wider and clips.
                EXPECT_EQ(caption.face, base::DialogFontFace()) << Narrow(caption.control);
                EXPECT_LE(caption.needed.cx, caption.room.cx)
                    << form.form << ": " << Narrow(caption.control) << " needs " << caption.needed.cx
                    << " px of width, its control gives it " << caption.room.cx;
                EXPECT_LE(caption.needed.cy, caption.room.cy)
                    << form.form << ": " << Narrow(caption.control) << " needs " << caption.needed.cy
                    << " px of height, its control gives it " << caption.room.cy;
            }
        }
        wait.reset();
        progress.reset();
        Pump();
    }
}

TEST_F(CaptionFitWin32Test, TheTitleBarsButtonsHaveTheirSymbolFont) {
    // The close box is Marlett's "r": without the font the title bar shows the letter.
    LOGFONTW description{};
    description.lfHeight = -GetSystemMetrics(SM_CYCAPTION);
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(description.lfFaceName, L"Marlett");
    const HFONT font = CreateFontIndirectW(&description);
    const HDC dc = GetDC(main);
    const HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(main, dc);
    DeleteObject(font);
    EXPECT_EQ(std::wstring(face), L"Marlett");
    EXPECT_EQ(metrics.tmCharSet, SYMBOL_CHARSET);
}

}  // namespace
}  // namespace tavisk::testing
