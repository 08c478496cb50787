#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "simhost/PageDocument.h"
#include "simhost/PageStore.h"

namespace tavisk::simhost {

// A page kept in memory: what was saved last, and how often.
class MemoryPageStore : public PageStore {
public:
    explicit MemoryPageStore(std::vector<Attribute> body = {}) : _saved(std::move(body)) {}
    std::unique_ptr<PageDocument> load() override;
    void save(const PageDocument& document) override;

    // Makes the page a frames page whose first frame shows `source`.
    void setFirstFrameSource(std::wstring source) { _firstFrameSource = std::move(source); }

    const std::vector<Attribute>& saved() const noexcept { return _saved; }
    int saveCount() const noexcept { return _saveCount; }

private:
    std::vector<Attribute> _saved;
    std::optional<std::wstring> _firstFrameSource;
    int _saveCount = 0;
};

}  // namespace tavisk::simhost
