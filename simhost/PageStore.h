#pragma once

#include <memory>

#include "simhost/PageDocument.h"

namespace tavisk::simhost {

// Where a page's document comes from when it is opened and goes when it is saved.
class PageStore {
public:
    virtual ~PageStore() = default;
    virtual std::unique_ptr<PageDocument> load() = 0;
    virtual void save(const PageDocument& document) = 0;
    // Saves even over a change that another program made since the page was opened;
    // the same as save() where no such change is detected.
    virtual void overwrite(const PageDocument& document) { save(document); }
};

}  // namespace tavisk::simhost
