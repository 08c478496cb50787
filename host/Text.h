#pragma once

// The text helpers live in base/Text.h; code of the stand-in host that has not
// moved onto base/ yet reaches them under their former names through here.
#include "base/Text.h"

namespace tavisk::host {

using base::AppendUtf8;
using base::AsciiLower;
using base::AsciiUpper;
using base::FromUtf8;
using base::ToUtf32;
using base::ToUtf8;

}  // namespace tavisk::host
