#pragma once
// A NUL-terminated text field of fixed width, as the design record holds its
// texts: anything longer than the field is cut, never stored past it.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace sorrel {

template <std::size_t Width> class FixedText {
public:
    static constexpr std::size_t kMaxLength = Width - 1;

    void assign(std::string_view text) {
        const std::size_t length = std::min(text.size(), kMaxLength);
        std::copy_n(text.data(), length, chars_.begin());
        std::fill(chars_.begin() + static_cast<std::ptrdiff_t>(length), chars_.end(), '\0');
    }
    std::string_view view() const { return std::string_view(chars_.data()); }
    const char* c_str() const { return chars_.data(); }

    bool operator==(const FixedText&) const = default;

private:
    std::array<char, Width> chars_{};
};

} // namespace sorrel
