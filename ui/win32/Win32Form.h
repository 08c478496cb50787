#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/Form.h"
#include "ui/win32/Handles.h"
#include "ui/win32/MessageHook.h"
#include "ui/win32/Win32Controls.h"

namespace tavisk::ui::win32 {

using base::win32::UniqueWindow;

// A modeless dialog window made from an empty in-memory template (so the dialog
// manager gives it Tab, Enter, Esc and mnemonics), with its controls added as
// child windows in tab order, all inside the add-in's activation context. The
// dialog procedure dispatches and nothing more: the work is in the form's
// handlers, which run through the event boundary.
class Win32Form final : public Form {
public:
    // `registerDialog` is the last step of construction, giving the new window its
    // keys through the message hook; whatever it or any earlier step after the
    // window exists raises destroys the window before the failure leaves.
    explicit Win32Form(const FormDesign& design, const std::function<void(HWND)>& registerDialog = AddDialogWindow);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    Frame& addFrame(const std::wstring& caption, Rect rect) override;
    Label& addLabel(const std::wstring& caption, Rect rect, const Font* font, TextAlign align) override;
    void addEtchedRule(Rect rect) override;
    void addPicture(int icon, Rect rect) override;
    CheckBox& addCheckBox(const std::wstring& caption, Rect rect) override;
    TextBox& addTextBox(const std::wstring& text, Rect rect) override;
    UpDown& addUpDown(Rect rect, TextBox& buddy, std::int32_t minimum, std::int32_t maximum) override;
    OptionGroup& addOptionGroup(const std::vector<Option>& options) override;
    Button& addButton(const std::wstring& caption, Rect rect, ButtonRole role) override;
    ListView& addListView(Rect rect, std::vector<ListColumn> columns) override;
    TreeView& addTreeView(Rect rect) override;

    std::wstring caption() const override { return WindowText(_window.get()); }
    void show() override;
    void hide() override;
    bool visible() const override { return _window && IsWindowVisible(_window.get()); }
    void bringToFront() override;
    void unload() override;
    void setMousePointer(MousePointer pointer) override;
    void refresh() override;

    HWND window() const noexcept { return _window.get(); }
    // The screen's pixels per inch the form was laid out with.
    int dpi() const noexcept { return _dpi; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void command(int id, UINT code);
    HWND addChild(const wchar_t* windowClass, const std::wstring& text, DWORD style, DWORD exStyle, Rect rect);
    RECT pixels(Rect rect) const;
    void centre(HWND over);

    // A hidden window that owns the form, so that it has no task bar button;
    // declared first, so that it goes after the form.
    UniqueWindow _hiddenOwner;
    UniqueWindow _window;
    int _dpi = 96;
    int _nextId = 1000;
    bool _shownOnce = false;
    bool _centreOnScreen = false;
    HWND _centreOver = nullptr;
    MousePointer _pointer = MousePointer::Default;
    Icon _smallIcon, _largeIcon;
    std::vector<Icon> _pictures;
    std::vector<GdiObject<HFONT>> _fonts;
    std::vector<std::unique_ptr<Control>> _controls;
    std::vector<std::unique_ptr<OptionGroup>> _groups;
    // WM_COMMAND by control id: the notification code goes to the handler.
    std::unordered_map<int, std::function<void(UINT code)>> _commands;
    std::unordered_map<HWND, Win32ListView*> _lists;
    std::unordered_map<HWND, Win32TreeView*> _trees;
    Win32Button* _default = nullptr;
    Win32Button* _cancel = nullptr;
};

class Win32Toolkit final : public Toolkit {
public:
    std::shared_ptr<Form> createForm(const FormDesign& design) override;
    std::shared_ptr<ProgressWindow> createProgressWindow(const ProgressDesign& design) override;
    MessageBoxes& messages() override;
    std::shared_ptr<EditorWindow> editorWindow() override;
};

}  // namespace tavisk::ui::win32
