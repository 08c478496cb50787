#pragma once

// The common controls behind the ui/ interfaces: thin wrappers over one child
// window each, owned by their Win32Form, which routes their notifications here.

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/Controls.h"
#include "ui/win32/Handles.h"

namespace tavisk::ui::win32 {

std::wstring WindowText(HWND window);

class Win32Label final : public Label {
public:
    explicit Win32Label(HWND window) : _window(window) {}
    bool enabled() const override { return IsWindowEnabled(_window) != FALSE; }
    void setEnabled(bool enabled) override { EnableWindow(_window, enabled); }
    std::wstring caption() const override { return WindowText(_window); }
    void setCaption(const std::wstring& caption) override { SetWindowTextW(_window, caption.c_str()); }

private:
    HWND _window;
};

class Win32Button final : public Button {
public:
    explicit Win32Button(HWND window) : _window(window) {}
    bool enabled() const override { return IsWindowEnabled(_window) != FALSE; }
    void setEnabled(bool enabled) override { EnableWindow(_window, enabled); }
    HWND window() const { return _window; }

private:
    HWND _window;
};

class Win32CheckBox final : public CheckBox {
public:
    explicit Win32CheckBox(HWND window) : _window(window) {}
    bool enabled() const override { return IsWindowEnabled(_window) != FALSE; }
    void setEnabled(bool enabled) override { EnableWindow(_window, enabled); }
    std::int32_t value() const override;
    void setValue(std::int32_t value) override;

private:
    HWND _window;
};

class Win32TextBox final : public TextBox {
public:
    explicit Win32TextBox(HWND window) : _window(window) {}
    bool enabled() const override { return IsWindowEnabled(_window) != FALSE; }
    void setEnabled(bool enabled) override { EnableWindow(_window, enabled); }
    std::wstring text() const override { return WindowText(_window); }
    void setText(const std::wstring& text) override { SetWindowTextW(_window, text.c_str()); }
    std::int32_t selectionStart() const override;
    std::int32_t selectionLength() const override;
    void select(std::int32_t start, std::int32_t length) override;
    HWND window() const { return _window; }

private:
    HWND _window;
};

class Win32UpDown final : public UpDown {
public:
    explicit Win32UpDown(HWND window) : _window(window) {}
    bool enabled() const override { return IsWindowEnabled(_window) != FALSE; }
    void setEnabled(bool enabled) override { EnableWindow(_window, enabled); }
    std::int32_t minimum() const override;
    std::int32_t maximum() const override;
    std::int32_t position() const override;

private:
    HWND _window;
};

class Win32OptionGroup final : public OptionGroup {
public:
    explicit Win32OptionGroup(std::vector<HWND> buttons) : _buttons(std::move(buttons)) {}
    std::int32_t count() const override { return static_cast<std::int32_t>(_buttons.size()); }
    std::int32_t chosen() const override;
    void choose(std::int32_t index) override;
    bool enabled(std::int32_t index) const override { return IsWindowEnabled(at(index)) != FALSE; }
    void setEnabled(std::int32_t index, bool enabled) override { EnableWindow(at(index), enabled); }

private:
    HWND at(std::int32_t index) const { return _buttons.at(static_cast<size_t>(index)); }
    std::vector<HWND> _buttons;
};

// A report-style list in virtual mode: the items and their order live in the
// ListView base; the control asks for the texts it shows, keeps the selection by
// position (put back after each reordering), draws a bold item's first column with
// a bold font and asks which item the user's typing names.
class Win32ListView final : public ListView {
public:
    Win32ListView(HWND window, std::vector<ListColumn> columns, int dpi);
    bool enabled() const override { return IsWindowEnabled(_window) != FALSE; }
    void setEnabled(bool enabled) override { EnableWindow(_window, enabled); }
    HWND window() const { return _window; }
    // A notification from the control; the result the control expects back.
    LRESULT notify(NMHDR& header);

private:
    void itemsChanged() override;
    void itemChanged(std::int32_t index) override;
    void showText(NMLVDISPINFOW& info) const;
    LRESULT customDraw(NMLVCUSTOMDRAW& draw);
    int findItem(const NMLVFINDITEMW& find) const;
    void showSelection(std::int32_t index);

    HWND _window;
    GdiObject<HFONT> _boldFont;
    bool _syncing = false;  // selection being put back: not the user's change
};

class Win32TreeView final : public TreeView {
public:
    explicit Win32TreeView(HWND window);
    Win32TreeView(const Win32TreeView&) = delete;
    Win32TreeView& operator=(const Win32TreeView&) = delete;
    ~Win32TreeView() override;
    bool enabled() const override { return IsWindowEnabled(_window) != FALSE; }
    void setEnabled(bool enabled) override { EnableWindow(_window, enabled); }
    void setImages(const std::vector<int>& iconResources) override;
    void setImageStrip(int bitmapResource, std::int32_t size, std::uint32_t maskColour) override;
    void clear() override;
    void add(const std::wstring& parentKey, const std::wstring& key, const std::wstring& text, std::int32_t image,
             std::int32_t selectedImage) override;
    bool contains(const std::wstring& key) const override { return _nodes.count(key) != 0; }
    std::int32_t count() const override { return static_cast<std::int32_t>(_nodes.size()); }
    std::wstring text(const std::wstring& key) const override;
    std::wstring parent(const std::wstring& key) const override { return node(key).parent; }
    std::int32_t image(const std::wstring& key) const override;
    void expand(const std::wstring& key) override;
    bool expanded(const std::wstring& key) const override;
    std::wstring selectedKey() const override;
    void select(const std::wstring& key) override;
    HWND window() const { return _window; }
    LRESULT notify(NMHDR& header);

private:
    struct Node {
        std::wstring key, parent;
        HTREEITEM item;
    };
    const Node& node(const std::wstring& key) const;
    LRESULT clicked();
    LRESULT selectionChanging(const NMTREEVIEWW& change) const;
    bool selectFirst(WPARAM key);
    void raiseNodeClick(HTREEITEM item);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND _window;
    ImageList _images;
    std::unordered_map<std::wstring, Node> _nodes;
    bool _selecting = false;  // a selection made from code
};

}  // namespace tavisk::ui::win32
