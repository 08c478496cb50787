#pragma once

#include <memory>

#include "ui/ListView.h"

namespace tavisk {

// The page chooser as the options dialog sees it: "Edit &Queue" hands it the
// dialog's queue list, which the chooser copies in when it opens and replaces on
// its OK. The chooser installs itself; the dialog never includes it.
class PageChooser {
public:
    virtual ~PageChooser() = default;
    virtual void editQueue(ui::ListView& queue) = 0;
    // The options dialog is closing: a chooser still open, which would write into
    // the dialog's queue list on its OK, closes without copying.
    virtual void optionsClosing() {}
};

void SetPageChooser(std::shared_ptr<PageChooser> chooser);
// The installed chooser, or nullptr.
std::shared_ptr<PageChooser> CurrentPageChooser();

}  // namespace tavisk
