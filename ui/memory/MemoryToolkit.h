#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryProgress.h"

namespace tavisk::ui::memory {

// What a form holds, in tab order, as a test reads it back.
struct Placed {
    std::wstring kind;  // "frame", "label", "picture", "check", "text", "updown", "option", "button", "list", "tree",
                        // "rule"
    std::wstring caption;
    Rect rect;
    TextAlign align = TextAlign::Left;
};

class MemoryForm final : public Form {
public:
    explicit MemoryForm(FormDesign design) : _design(std::move(design)) {}

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

    std::wstring caption() const override { return _design.caption; }
    void show() override;
    void hide() override;
    bool visible() const override { return _visible; }
    void bringToFront() override;
    void unload() override;
    void setMousePointer(MousePointer pointer) override { _pointer = pointer; }
    void refresh() override;

    const FormDesign& design() const { return _design; }
    MousePointer mousePointer() const { return _pointer; }
    // How often the form was painted at once by refresh().
    int refreshes() const { return _refreshes; }
    bool active() const { return _active; }
    const std::vector<Placed>& placed() const { return _placed; }
    const std::vector<Font>& fonts() const { return _fonts; }
    // "show", "hide", "front", "refresh", "unload" in the order they happened.
    const std::vector<std::wstring>& events() const { return _events; }
    bool topmost() const { return _topmost; }
    bool unloaded() const { return _unloaded; }

    // The user's keys and window actions, as the dialog manager maps them.
    void userPressEnter();
    void userPressEscape();
    void userClose();
    // Another window became active, then this one again.
    void userDeactivate();
    void userActivate();

private:
    template <class T, class... Args>
    T& keep(const std::wstring& kind, const std::wstring& caption, Rect rect, Args&&... args);
    void checkLoaded() const;

    FormDesign _design;
    std::vector<std::unique_ptr<Control>> _controls;
    std::vector<std::unique_ptr<OptionGroup>> _groups;
    std::vector<Placed> _placed;
    std::vector<Font> _fonts;
    std::vector<std::wstring> _events;
    Button* _default = nullptr;
    Button* _cancel = nullptr;
    bool _visible = false;
    bool _active = false;
    MousePointer _pointer = MousePointer::Default;
    int _refreshes = 0;
    bool _topmost = false;
    bool _unloaded = false;
};

struct ShownMessage {
    std::wstring text;
    std::wstring title;
    MessageIcon icon;
};

class MemoryMessageBoxes final : public MessageBoxes {
public:
    void show(const std::wstring& text, const std::wstring& title, MessageIcon icon) override {
        shown.push_back({text, title, icon});
        if (onShow) onShow();
    }
    std::vector<ShownMessage> shown;
    // What the user does while the box is up.
    std::function<void()> onShow;
};

// The host's main window in memory: its boxes are the toolkit's, and it keeps what
// happened to it, "activate", "disable", "enable" and "message" (a box it owned), in order.
class MemoryEditorWindow final : public EditorWindow, private MessageBoxes {
public:
    explicit MemoryEditorWindow(MessageBoxes& boxes) : _boxes(boxes) {}

    bool enabled() const override { return _enabled; }
    void activate() noexcept override { events.push_back(L"activate"); }
    void setEnabled(bool enabled) noexcept override {
        _enabled = enabled;
        events.push_back(enabled ? L"enable" : L"disable");
    }
    MessageBoxes& messages() override { return *this; }

    std::vector<std::wstring> events;

private:
    void show(const std::wstring& text, const std::wstring& title, MessageIcon icon) override {
        events.push_back(L"message");
        _boxes.show(text, title, icon);
    }

    MessageBoxes& _boxes;
    bool _enabled = true;
};

// Forms and message boxes in memory. It keeps every form it made, so a test can
// look at a form after its owner released it.
class MemoryToolkit final : public Toolkit {
public:
    std::shared_ptr<Form> createForm(const FormDesign& design) override;
    std::shared_ptr<ProgressWindow> createProgressWindow(const ProgressDesign& design) override;
    MessageBoxes& messages() override { return _messages; }
    std::shared_ptr<EditorWindow> editorWindow() override { return _editor; }

    std::vector<ShownMessage>& shown() { return _messages.shown; }
    MemoryMessageBoxes& boxes() { return _messages; }
    MemoryEditorWindow& editor() { return *_editor; }
    // The forms made so far with this caption, oldest first.
    std::vector<MemoryForm*> forms(const std::wstring& caption) const;
    // The newest form with this caption that is not unloaded, or nullptr.
    MemoryForm* loaded(const std::wstring& caption) const;

    // The progress windows made so far, oldest first.
    const std::vector<std::shared_ptr<MemoryProgressWindow>>& progressWindows() const { return _progress; }

private:
    std::vector<std::shared_ptr<MemoryForm>> _forms;
    std::vector<std::shared_ptr<MemoryProgressWindow>> _progress;
    MemoryMessageBoxes _messages;
    std::shared_ptr<MemoryEditorWindow> _editor = std::make_shared<MemoryEditorWindow>(_messages);
};

template <class T>
T& Of(Control& control) {
    return dynamic_cast<T&>(control);
}
inline MemoryOptionGroup& Of(OptionGroup& group) { return dynamic_cast<MemoryOptionGroup&>(group); }

}  // namespace tavisk::ui::memory
