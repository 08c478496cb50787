#include "simhost/MemoryPageStore.h"

namespace tavisk::simhost {

std::unique_ptr<PageDocument> MemoryPageStore::load() {
    return std::make_unique<PageDocument>(_saved, _firstFrameSource);
}

void MemoryPageStore::save(const PageDocument& document) {
    _saved = document.bodyAttributes();
    ++_saveCount;
}

}  // namespace tavisk::simhost
