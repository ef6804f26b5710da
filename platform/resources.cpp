#include "resources.h"

namespace platform {

std::span<const uint8_t> findResource(std::string_view name) {
    for (std::size_t i = 0; i < detail::kEmbeddedResourceCount; ++i) {
        const detail::EmbeddedResource& r = detail::kEmbeddedResources[i];
        if (name == r.name)
            return {r.data, r.size};
    }
    return {};
}

}  // namespace platform
