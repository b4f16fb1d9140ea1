#include "platform/platform.h"

namespace qn {

std::string becauseOf(Platform& os, std::uint32_t error) {
    const std::string text = error ? os.errorText(error) : std::string();
    return text.empty() ? std::string() : " (" + text + ")";
}

}  // namespace qn
