#include "host/HostError.h"

#include "host/Text.h"

namespace tavisk::host {

HostError::HostError(std::int32_t code, std::wstring message)
    : std::runtime_error(ToUtf8(message)), _code(code), _message(std::move(message)) {}

}  // namespace tavisk::host
