#pragma once

// The text helpers live in base/Text.h. Only tests still reach them through here,
// under the host:: names they had before; code includes base/Text.h.
#include "base/Text.h"

namespace tavisk::host {

using base::AppendUtf8;
using base::AsciiLower;
using base::AsciiUpper;
using base::FromUtf8;
using base::ToUtf32;
using base::ToUtf8;

}  // namespace tavisk::host
