#pragma once

#include <memory>
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

    const std::vector<Attribute>& saved() const noexcept { return _saved; }
    int saveCount() const noexcept { return _saveCount; }

private:
    std::vector<Attribute> _saved;
    int _saveCount = 0;
};

}  // namespace tavisk::simhost
