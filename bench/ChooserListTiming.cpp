// Under Wine, on real controls: listing a folder of 20,000 pages (or the number
// given) into the page chooser's list view, against inserting the same items into
// a bare report list view with its redraw off, measured in the same run. Each is
// timed five times, with the visible rows painted; the best time of each counts.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ChooserWeb.h"
#include "base/Text.h"
#include "chooser/frmChooseFiles.h"
#include "chooser/mChooser.h"
#include "host/Application.h"
#include "simhost/SimHost.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "ui/win32/Win32Form.h"

namespace {

using namespace tavisk;
using Clock = std::chrono::steady_clock;

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

template <class Step>
double BestMilliseconds(Step step) {
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        step();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        Pump();
    }
    return best;
}

// The options dialog's queue list as the chooser needs it: only its items.
class OptionsQueue final : public ui::ListView {
public:
    using ListView::ListView;
    bool enabled() const override { return true; }
    void setEnabled(bool) override {}

private:
    void itemsChanged() override {}
    void itemChanged(std::int32_t) override {}
};

}  // namespace

int main(int argc, char** argv) {
    const auto count = argc > 1 ? base::ToInteger(argv[1]) : 20000;
    if (argc > 2 || !count || *count < 1 || *count > 10'000'000) {
        std::fprintf(stderr, "usage: chooser_list_timing [PAGES]\n");
        return 2;
    }
    const int pages = static_cast<int>(*count);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    // A web whose root folder holds `pages` pages, half of them queued.
    bench::ChooserWeb generated(pages * 5);
    simhost::SimHost host;
    host.openWeb(generated.web);
    host.recorder().setRecording(false);
    host::SetApplication(simhost::InMemoryHost(host));
    ui::SetToolkit(std::make_shared<ui::win32::Win32Toolkit>());
    OptionsQueue options({{L"Name", L"", 2000}, {L"Title", L"", 2001}, {L"Located in", L"", 3800}});
    for (const auto& entry : generated.queue) options.add(entry);

    frmChooseFiles& chooser = frmChooseFiles::Create(options);
    const auto root = host::Application().activeWeb()->rootFolder();
    LoadWeb(chooser, options, *host::Application().activeWeb());
    chooser.form().show();
    Pump();
    const HWND form = static_cast<ui::win32::Win32Form&>(chooser.form()).window();
    const HWND list = FindWindowExW(form, nullptr, WC_LISTVIEWW, nullptr);
    const double listed = BestMilliseconds([&] {
        ListFolderPages(chooser, *root);
        UpdateWindow(list);
    });
    const int shown = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));

    // The same items, read beforehand, into a bare list view of the same size.
    std::vector<std::pair<std::wstring, std::wstring>> items;
    for (std::int32_t i = 0; i < chooser.lvwWebList.count(); ++i) {
        const auto& item = chooser.lvwWebList.item(i);
        items.emplace_back(item.text, item.subItems.at(0));
    }
    RECT at{};
    GetWindowRect(list, &at);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&at), 2);
    const HWND bare =
        CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, at.left, at.top,
                        at.right - at.left, at.bottom - at.top, form, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(list, SW_HIDE);
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNW description{};
        description.mask = LVCF_TEXT | LVCF_WIDTH;
        description.pszText = const_cast<wchar_t*>(column == 0 ? L"Name" : L"Title");
        description.cx = column == 0 ? 96 : 220;
        SendMessageW(bare, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&description));
    }
    const double floor = BestMilliseconds([&] {
        SendMessageW(bare, WM_SETREDRAW, FALSE, 0);
        SendMessageW(bare, LVM_DELETEALLITEMS, 0, 0);
        for (size_t i = 0; i < items.size(); ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.pszText = const_cast<wchar_t*>(items[i].first.c_str());
            const auto index = SendMessageW(bare, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 1;
            item.pszText = const_cast<wchar_t*>(items[i].second.c_str());
            SendMessageW(bare, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(bare, WM_SETREDRAW, TRUE, 0);
        UpdateWindow(bare);
    });

    std::printf("Listing a folder of %d pages (%d of them queued) on real controls, best of 5, in ms:\n", shown,
                static_cast<int>(generated.queue.size() / 2));
    std::printf("%-58s %10s %10s %7s\n", "operation", "time", "floor", "ratio");
    std::printf("%-58s %10.1f %10.1f %6.2fx\n", "ListFolderPages into the chooser's list view", listed, floor,
                listed / floor);
    std::printf("(floor: the same items inserted into a bare list view with redraw off; target: within 3x)\n");
    DestroyWindow(bare);
    frmChooseFiles::Discard();
    ui::SetToolkit(nullptr);
    host::SetApplication(nullptr);
    return shown == pages ? 0 : 1;
}
