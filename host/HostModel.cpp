#include "host/HostModel.h"

#include "base/Text.h"

namespace tavisk::host {

bool IsPage(WebFile& file) {
    const auto extension = base::AsciiUpper(file.extension());
    return extension == L"HTML" || extension == L"HTM" || extension == L"ASP";
}

}  // namespace tavisk::host
