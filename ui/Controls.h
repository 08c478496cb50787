#pragma once

// The window controls the add-in's forms are made of, as small interfaces. The
// forms' logic is written against these, so every rule can be checked natively
// through the in-memory controls (ui/memory) and shown on screen through the
// common controls (ui/win32).
//
// Events are plain callbacks that a form sets once. A control raises them for what
// the user does (a click, a key, the focus); changing a control from code raises
// nothing. A disabled control raises no event. A handler's failure is reported
// under the name of the user's action: a button's or option's caption, the
// toolkit's words where the action is the control's own ("Sorting the list"), or
// the name the form sets beside the handler where only the form knows what the
// action means (a double-click on an item, a click on a node).

#include <cstdint>
#include <functional>
#include <string>

#include <vector>

#include "ui/Control.h"
#include "ui/ListView.h"
#include "ui/NamedHandler.h"

namespace tavisk::ui {

class Button : public Control {
public:
    std::function<void()> onClick;
};

// A two-state check box; value 1 is ticked, 0 unticked.
class CheckBox : public Control {
public:
    virtual std::int32_t value() const = 0;
    virtual void setValue(std::int32_t value) = 0;
    // Raised when the user changes the value.
    std::function<void()> onClick;
};

class TextBox : public Control {
public:
    virtual std::wstring text() const = 0;
    virtual void setText(const std::wstring& text) = 0;
    virtual std::int32_t selectionStart() const = 0;
    virtual std::int32_t selectionLength() const = 0;
    virtual void select(std::int32_t start, std::int32_t length) = 0;
    std::function<void()> onGotFocus;
};

// An up-down paired with the text box beside it. Its arrows start from the number
// typed in the box when that number is within the range (else from the up-down's
// own position), move by 1, stop at the ends of the range, and write the new
// position into the box as decimal text.
class UpDown : public Control {
public:
    virtual std::int32_t minimum() const = 0;
    virtual std::int32_t maximum() const = 0;
    virtual std::int32_t position() const = 0;
};

// An array of option buttons addressed by index; exactly one is chosen.
class OptionGroup {
public:
    virtual ~OptionGroup() = default;
    virtual std::int32_t count() const = 0;
    virtual std::int32_t chosen() const = 0;
    virtual void choose(std::int32_t index) = 0;
    virtual bool enabled(std::int32_t index) const = 0;
    virtual void setEnabled(std::int32_t index, bool enabled) = 0;
    // Raised with the index of the button the user chose.
    std::function<void(std::int32_t index)> onClick;
};

class Label : public Control {
public:
    virtual std::wstring caption() const = 0;
    virtual void setCaption(const std::wstring& caption) = 0;
};

using Frame = Label;

// A tree of keyed nodes, each with an image (an index into the tree's images).
class TreeView : public Control {
public:
    // The tree's images, as icon resources of the add-in, indexed from 0.
    virtual void setImages(const std::vector<int>& iconResources) = 0;
    // The tree's images cut from one bitmap resource of the add-in: square images
    // of `size` pixels side by side, pixels of `maskColour` (0x00BBGGRR) transparent.
    virtual void setImageStrip(int bitmapResource, std::int32_t size, std::uint32_t maskColour) = 0;
    virtual void clear() = 0;
    // Adds a node below `parentKey` (empty: a root). Keys are unique in the tree;
    // adding an existing key or below a missing parent raises std::invalid_argument.
    virtual void add(const std::wstring& parentKey, const std::wstring& key, const std::wstring& text,
                     std::int32_t image, std::int32_t selectedImage) = 0;
    virtual bool contains(const std::wstring& key) const = 0;
    virtual std::int32_t count() const = 0;
    virtual std::wstring text(const std::wstring& key) const = 0;
    virtual std::wstring parent(const std::wstring& key) const = 0;
    virtual std::int32_t image(const std::wstring& key) const = 0;
    virtual void expand(const std::wstring& key) = 0;
    virtual bool expanded(const std::wstring& key) const = 0;
    // The selected node's key; empty when none is selected.
    virtual std::wstring selectedKey() const = 0;
    virtual void select(const std::wstring& key) = 0;
    // Raised with the node's key when the user selects a node.
    NamedHandler<const std::wstring&> onNodeClick;
};

}  // namespace tavisk::ui
