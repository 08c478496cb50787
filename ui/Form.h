#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/EditorWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressWindow.h"

namespace tavisk::ui {

// A position in twips (1/1440 inch): left, top, width, height, relative to the
// form's client area. Each implementation converts at the screen's real DPI.
struct Rect {
    std::int32_t left, top, width, height;
    bool operator==(const Rect&) const = default;
};

struct Font {
    std::wstring face;
    double points;
    bool bold;
};

enum class TextAlign { Left, Centre };

// The pointer shown over a form: the system's arrow, or the arrow with an
// hourglass that says the program is working but still takes input.
enum class MousePointer { Default, ArrowHourglass };

struct Option {
    std::wstring caption;
    Rect rect;
};

// Enter presses the default button; Esc presses the cancel button. A form may
// have neither.
enum class ButtonRole { Normal, Default, Cancel };

struct FormDesign {
    std::wstring caption;
    std::int32_t clientWidth;   // twips
    std::int32_t clientHeight;  // twips
    int icon = 0;               // icon resource of the add-in shown in the title bar; 0: none
    // The form it belongs to: it is centred on it, stays above it and has no task
    // bar button of its own. nullptr: an independent window, centred on the
    // thread's active window (the host's) when there is one, else on the screen.
    class Form* owner = nullptr;
    // A tool window: small title bar and no task bar button.
    bool toolWindow = false;
    // False: no task bar button, though the window has an ordinary title bar.
    bool taskbarButton = true;
    // Centred on the screen's work area when first shown, whatever window is active.
    bool centreOnScreen = false;
};

// A top-level window with a fixed border, a close box and no minimise or maximise
// button, centred when first shown. Controls are added in tab order and live as
// long as the form; after unload() neither the form nor its controls may be used
// again, except that unload() may be called twice.
class Form {
public:
    virtual ~Form() = default;

    virtual Frame& addFrame(const std::wstring& caption, Rect rect) = 0;
    virtual Label& addLabel(const std::wstring& caption, Rect rect, const Font* font = nullptr,
                            TextAlign align = TextAlign::Left) = 0;
    // An etched horizontal rule across `rect`: a shadow-coloured line along its top
    // with a highlight-coloured line just below it.
    virtual void addEtchedRule(Rect rect) = 0;
    // A picture box showing an icon resource of the add-in.
    virtual void addPicture(int icon, Rect rect) = 0;
    virtual CheckBox& addCheckBox(const std::wstring& caption, Rect rect) = 0;
    virtual TextBox& addTextBox(const std::wstring& text, Rect rect) = 0;
    virtual UpDown& addUpDown(Rect rect, TextBox& buddy, std::int32_t minimum, std::int32_t maximum) = 0;
    // One option button per entry, index 0 first; the first is chosen.
    virtual OptionGroup& addOptionGroup(const std::vector<Option>& options) = 0;
    virtual Button& addButton(const std::wstring& caption, Rect rect, ButtonRole role = ButtonRole::Normal) = 0;
    virtual ListView& addListView(Rect rect, std::vector<ListColumn> columns) = 0;
    virtual TreeView& addTreeView(Rect rect) = 0;

    virtual std::wstring caption() const = 0;
    // Shows the form modeless: the call returns at once.
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool visible() const = 0;
    // Makes the form topmost and gives it the foreground.
    virtual void bringToFront() = 0;
    // Destroys the window and its controls.
    virtual void unload() = 0;
    virtual void setMousePointer(MousePointer pointer) = 0;
    // Paints the form and its controls now, without waiting for the message loop:
    // for a form shown while its thread is busy and pumps no messages.
    virtual void refresh() = 0;

    // The close box; the form stays as it is unless the handler unloads it.
    std::function<void()> onClose;
    // The form became the active window (also when show() activates it).
    std::function<void()> onActivate;
    // The form stopped being the active window.
    std::function<void()> onDeactivate;
};

// Makes the forms and progress windows of one implementation, and shows its
// message boxes.
class Toolkit {
public:
    virtual ~Toolkit() = default;
    virtual std::shared_ptr<Form> createForm(const FormDesign& design) = 0;
    // A hidden progress window.
    virtual std::shared_ptr<ProgressWindow> createProgressWindow(const ProgressDesign& design) = 0;
    virtual MessageBoxes& messages() = 0;
    // The host's main window as of now: the root owner of the thread's active
    // window when that is the host's, else the host's main window as the toolkit
    // finds it otherwise; nullptr when the host shows none.
    virtual std::shared_ptr<EditorWindow> editorWindow() = 0;
};

// The process-wide toolkit the forms are made with. Asking while none is set
// raises std::logic_error.
Toolkit& CurrentToolkit();
void SetToolkit(std::shared_ptr<Toolkit> toolkit);
bool HasToolkit() noexcept;

}  // namespace tavisk::ui
