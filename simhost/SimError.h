#pragma once

#include "base/Error.h"

namespace tavisk::simhost {

// Every refusal of the stand-in editor: a call its recorder was told to refuse, an
// object that is gone, a missing file, bar or control, a page that cannot be read
// or saved. `code` is what the editor's COM face reports (an HRESULT); `message`
// is its text. An error of the shared base, so every boundary reads it alike.
class SimError : public base::Error {
public:
    using base::Error::Error;
};

using base::kErrorFail;
using base::kErrorInvalidArg;
using base::kErrorNoInterface;
using base::kErrorNotFound;

}  // namespace tavisk::simhost
