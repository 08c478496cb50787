#include "ui/memory/MemoryToolkit.h"

#include <stdexcept>

#include "base/Texts.h"
#include "ui/EventBoundary.h"

namespace tavisk::ui::memory {

template <class T, class... Args>
T& MemoryForm::keep(const std::wstring& kind, const std::wstring& caption, Rect rect, Args&&... args) {
    checkLoaded();
    auto control = std::make_unique<T>(std::forward<Args>(args)...);
    T& kept = *control;
    _controls.push_back(std::move(control));
    _placed.push_back({kind, caption, rect});
    return kept;
}

void MemoryForm::checkLoaded() const {
    if (_unloaded) throw std::logic_error("the form is unloaded");
}

Frame& MemoryForm::addFrame(const std::wstring& caption, Rect rect) {
    return keep<MemoryLabel>(L"frame", caption, rect, caption);
}

Label& MemoryForm::addLabel(const std::wstring& caption, Rect rect, const Font* font, TextAlign align) {
    _fonts.push_back(font ? *font : Font{});
    auto& label = keep<MemoryLabel>(L"label", caption, rect, caption);
    _placed.back().align = align;
    return label;
}

void MemoryForm::addEtchedRule(Rect rect) { keep<MemoryLabel>(L"rule", L"", rect, L""); }

void MemoryForm::addPicture(int icon, Rect rect) { keep<MemoryLabel>(L"picture", std::to_wstring(icon), rect, L""); }

CheckBox& MemoryForm::addCheckBox(const std::wstring& caption, Rect rect) {
    return keep<MemoryCheckBox>(L"check", caption, rect, caption);
}

TextBox& MemoryForm::addTextBox(const std::wstring& text, Rect rect) {
    return keep<MemoryTextBox>(L"text", text, rect, text);
}

UpDown& MemoryForm::addUpDown(Rect rect, TextBox& buddy, std::int32_t minimum, std::int32_t maximum) {
    return keep<MemoryUpDown>(L"updown", L"", rect, buddy, minimum, maximum);
}

OptionGroup& MemoryForm::addOptionGroup(const std::vector<Option>& options) {
    checkLoaded();
    std::vector<std::wstring> captions;
    for (const auto& option : options) {
        captions.push_back(option.caption);
        _placed.push_back({L"option", option.caption, option.rect});
    }
    _groups.push_back(std::make_unique<MemoryOptionGroup>(std::move(captions)));
    return *_groups.back();
}

Button& MemoryForm::addButton(const std::wstring& caption, Rect rect, ButtonRole role) {
    auto& button = keep<MemoryButton>(L"button", caption, rect, caption);
    if (role == ButtonRole::Default) _default = &button;
    if (role == ButtonRole::Cancel) _cancel = &button;
    return button;
}

ListView& MemoryForm::addListView(Rect rect, std::vector<ListColumn> columns) {
    return keep<MemoryListView>(L"list", L"", rect, std::move(columns));
}

TreeView& MemoryForm::addTreeView(Rect rect) { return keep<MemoryTreeView>(L"tree", L"", rect); }

void MemoryForm::show() {
    checkLoaded();
    _visible = true;
    _events.push_back(L"show");
    // Showing a window that is not active activates it, as ShowWindow does.
    if (!_active) userActivate();
}

void MemoryForm::hide() {
    checkLoaded();
    _visible = false;
    _active = false;
    _events.push_back(L"hide");
}

void MemoryForm::refresh() {
    checkLoaded();
    ++_refreshes;
    _events.push_back(L"refresh");
}

void MemoryForm::bringToFront() {
    checkLoaded();
    _topmost = true;
    _events.push_back(L"front");
}

void MemoryForm::unload() {
    if (_unloaded) return;
    _unloaded = true;
    _visible = false;
    _events.push_back(L"unload");
}

void MemoryForm::userPressEnter() {
    if (_default) Of<MemoryButton>(*_default).userClick();
}

void MemoryForm::userPressEscape() {
    if (_cancel) Of<MemoryButton>(*_cancel).userClick();
}

void MemoryForm::userClose() {
    if (!_unloaded && onClose) RunEvent(base::Text(base::TextId::ClosingWindow), onClose);
}

void MemoryForm::userDeactivate() {
    if (_unloaded) return;
    _active = false;
    if (onDeactivate) RunEvent(base::Text(base::TextId::LeavingWindow), onDeactivate);
}

void MemoryForm::userActivate() {
    if (_unloaded || !_visible) return;
    _active = true;
    if (onActivate) RunEvent(base::Text(base::TextId::ActivatingWindow), onActivate);
}

std::shared_ptr<Form> MemoryToolkit::createForm(const FormDesign& design) {
    _forms.push_back(std::make_shared<MemoryForm>(design));
    return _forms.back();
}

std::shared_ptr<ProgressWindow> MemoryToolkit::createProgressWindow(const ProgressDesign& design) {
    _progress.push_back(std::make_shared<MemoryProgressWindow>(design));
    return _progress.back();
}

std::vector<MemoryForm*> MemoryToolkit::forms(const std::wstring& caption) const {
    std::vector<MemoryForm*> found;
    for (const auto& form : _forms) {
        if (form->caption() == caption) found.push_back(form.get());
    }
    return found;
}

MemoryForm* MemoryToolkit::loaded(const std::wstring& caption) const {
    for (auto it = _forms.rbegin(); it != _forms.rend(); ++it) {
        if ((*it)->caption() == caption && !(*it)->unloaded()) return it->get();
    }
    return nullptr;
}

}  // namespace tavisk::ui::memory
