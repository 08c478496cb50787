#include "simhost/SimError.h"

#include "host/Text.h"

namespace tavisk::simhost {

SimError::SimError(std::int32_t code, std::wstring message)
    : std::runtime_error(host::ToUtf8(message)), _code(code), _message(std::move(message)) {}

}  // namespace tavisk::simhost
