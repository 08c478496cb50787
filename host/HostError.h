#pragma once

#include "base/Error.h"

namespace tavisk::host {

// The one error type for every refusal of the host: a failed call of its object
// model, a missing command bar or control, an object of the wrong kind. `code` is
// the host's own code (an HRESULT on Windows); `message` is the host's text. It is
// base::Error itself, so every boundary reads it as it reads any other failure.
using HostError = base::Error;

// Codes used where the host gives none of its own.
using base::kErrorFail;
using base::kErrorInvalidArg;
using base::kErrorNoInterface;
using base::kErrorNotFound;

}  // namespace tavisk::host
