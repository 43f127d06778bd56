// The edition's texts with their values filled in, the same in both editions.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace Texts {

// The text with each "{}" replaced by the next value, in order; a "{}" left over when the
// values run out stays as it is.
[[nodiscard]] std::string Fill(std::string_view text,
                               std::initializer_list<std::string_view> values);

}  // namespace Texts
