#pragma once
// The program's stored resources: every file of the source tree's resources/ folder is built into
// the platform library and found by its file name without the extension (ButtonExit for
// resources/ButtonExit.bmp).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

// The bytes of the resource `name`; empty when there is no such resource.
std::span<const uint8_t> findResource(std::string_view name);

namespace detail {
// The table the build generates from resources/.
struct EmbeddedResource {
    const char* name;
    const uint8_t* data;
    std::size_t size;
};
extern const EmbeddedResource kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;
}  // namespace detail

}  // namespace platform
