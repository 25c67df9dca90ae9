// Helpers the database's own files share; nothing outside them uses these.
#pragma once

#include <cstddef>
#include <string_view>

namespace mk::detail {

// The characters of a UTF-8 text.
size_t utf8Length(std::string_view s);

}  // namespace mk::detail
