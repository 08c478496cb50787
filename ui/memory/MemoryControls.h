#pragma once

// In-memory controls for native tests of the forms' logic. Each one keeps the
// state a real control shows and offers the user's actions (`user...`), which,
// like a real control, do nothing while the control is disabled and raise the
// control's events through the event boundary.

#include <unordered_map>
#include <string>
#include <vector>

#include "ui/Form.h"

namespace tavisk::ui::memory {

class MemoryButton final : public Button {
public:
    explicit MemoryButton(std::wstring caption) : _caption(std::move(caption)) {}
    const std::wstring& caption() const { return _caption; }
    bool enabled() const override { return _enabled; }
    void setEnabled(bool enabled) override { _enabled = enabled; }
    void userClick();

private:
    std::wstring _caption;
    bool _enabled = true;
};

class MemoryCheckBox final : public CheckBox {
public:
    explicit MemoryCheckBox(std::wstring caption) : _caption(std::move(caption)) {}
    const std::wstring& caption() const { return _caption; }
    bool enabled() const override { return _enabled; }
    void setEnabled(bool enabled) override { _enabled = enabled; }
    std::int32_t value() const override { return _value; }
    void setValue(std::int32_t value) override { _value = value; }
    void userClick();

private:
    std::wstring _caption;
    bool _enabled = true;
    std::int32_t _value = 0;
};

class MemoryTextBox final : public TextBox {
public:
    explicit MemoryTextBox(std::wstring text) : _text(std::move(text)) {}
    bool enabled() const override { return _enabled; }
    void setEnabled(bool enabled) override { _enabled = enabled; }
    std::wstring text() const override { return _text; }
    void setText(const std::wstring& text) override;
    std::int32_t selectionStart() const override { return _start; }
    std::int32_t selectionLength() const override { return _length; }
    void select(std::int32_t start, std::int32_t length) override;
    // The focus arrives (by Tab or a click); raises onGotFocus.
    void userFocus();
    // Replaces the selection with `text`, as typing does.
    void userType(const std::wstring& text);

private:
    bool _enabled = true;
    std::wstring _text;
    std::int32_t _start = 0;
    std::int32_t _length = 0;
};

class MemoryUpDown final : public UpDown {
public:
    MemoryUpDown(TextBox& buddy, std::int32_t minimum, std::int32_t maximum)
        : _buddy(buddy), _minimum(minimum), _maximum(maximum), _position(minimum) {}
    bool enabled() const override { return _enabled; }
    void setEnabled(bool enabled) override { _enabled = enabled; }
    std::int32_t minimum() const override { return _minimum; }
    std::int32_t maximum() const override { return _maximum; }
    std::int32_t position() const override { return _position; }
    // One click on the up (+1) or down (-1) arrow.
    void userArrow(int direction);

private:
    TextBox& _buddy;
    bool _enabled = true;
    std::int32_t _minimum, _maximum, _position;
};

class MemoryOptionGroup final : public OptionGroup {
public:
    explicit MemoryOptionGroup(std::vector<std::wstring> captions)
        : _captions(std::move(captions)), _enabled(_captions.size(), true) {}
    const std::wstring& caption(std::int32_t index) const { return _captions.at(static_cast<size_t>(index)); }
    std::int32_t count() const override { return static_cast<std::int32_t>(_enabled.size()); }
    std::int32_t chosen() const override { return _chosen; }
    void choose(std::int32_t index) override;
    bool enabled(std::int32_t index) const override { return _enabled.at(static_cast<size_t>(index)); }
    void setEnabled(std::int32_t index, bool enabled) override { _enabled.at(static_cast<size_t>(index)) = enabled; }
    void userClick(std::int32_t index);

private:
    std::vector<std::wstring> _captions;
    std::vector<bool> _enabled;
    std::int32_t _chosen = 0;
};

class MemoryLabel final : public Label {
public:
    explicit MemoryLabel(std::wstring caption) : _caption(std::move(caption)) {}
    bool enabled() const override { return _enabled; }
    void setEnabled(bool enabled) override { _enabled = enabled; }
    std::wstring caption() const override { return _caption; }
    void setCaption(const std::wstring& caption) override { _caption = caption; }

private:
    bool _enabled = true;
    std::wstring _caption;
};

class MemoryListView final : public ListView {
public:
    using ListView::ListView;
    bool enabled() const override { return _enabled; }
    void setEnabled(bool enabled) override { _enabled = enabled; }
    void userColumnClick(std::int32_t header);
    void userDoubleClick(const std::wstring& key);
    // How often the list showed its items again.
    int redraws() const { return _redraws; }

private:
    void itemsChanged() override { ++_redraws; }
    void itemChanged(std::int32_t) override {}
    bool _enabled = true;
    int _redraws = 0;
};

class MemoryTreeView final : public TreeView {
public:
    bool enabled() const override { return _enabled; }
    void setEnabled(bool enabled) override { _enabled = enabled; }
    void setImages(const std::vector<int>& iconResources) override { _images = iconResources; }
    const std::vector<int>& images() const { return _images; }
    void setImageStrip(int bitmapResource, std::int32_t size, std::uint32_t maskColour) override {
        _strip = {bitmapResource, size, maskColour};
    }
    struct Strip {
        int bitmap = 0;
        std::int32_t size = 0;
        std::uint32_t mask = 0;
    };
    const Strip& imageStrip() const { return _strip; }
    // The keys of the node's children (of the roots for ""), in the order shown.
    std::vector<std::wstring> children(const std::wstring& key) const;
    std::int32_t selectedImage(const std::wstring& key) const { return node(key).selectedImage; }
    void clear() override;
    void add(const std::wstring& parentKey, const std::wstring& key, const std::wstring& text, std::int32_t image,
             std::int32_t selectedImage) override;
    bool contains(const std::wstring& key) const override { return _nodes.count(key) != 0; }
    std::int32_t count() const override { return static_cast<std::int32_t>(_nodes.size()); }
    std::wstring text(const std::wstring& key) const override { return node(key).text; }
    std::wstring parent(const std::wstring& key) const override { return node(key).parent; }
    std::int32_t image(const std::wstring& key) const override { return node(key).image; }
    void expand(const std::wstring& key) override { mutableNode(key).expanded = true; }
    bool expanded(const std::wstring& key) const override { return node(key).expanded; }
    std::wstring selectedKey() const override { return _selected; }
    void select(const std::wstring& key) override;
    void userClickNode(const std::wstring& key);

private:
    struct Node {
        std::wstring parent, text;
        std::int32_t image, selectedImage;
        bool expanded = false;
    };
    const Node& node(const std::wstring& key) const;
    Node& mutableNode(const std::wstring& key);

    bool _enabled = true;
    std::vector<int> _images;
    Strip _strip;
    std::unordered_map<std::wstring, Node> _nodes;
    std::vector<std::wstring> _added;  // keys in the order added: children go last
    std::wstring _selected;
};

}  // namespace tavisk::ui::memory
