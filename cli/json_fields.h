#pragma once
// Strict reading of the files ardentix-cli writes itself: every entry must be there with its
// own type (an integer never read from a fraction or a text), else std::runtime_error names it.

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace cli {

inline const nlohmann::json& member(const nlohmann::json& json, const char* key) {
    if (!json.is_object() || !json.contains(key))
        throw std::runtime_error(std::string("no '") + key + "'");
    return json.at(key);
}

template <class T>
T integerValue(const nlohmann::json& value, const std::string& what) {
    static_assert(std::is_integral_v<T>);
    if (!value.is_number_integer())
        throw std::runtime_error("'" + what + "' is not an integer");
    if (value.is_number_unsigned()) {
        const uint64_t v = value.get<uint64_t>();
        if (v > static_cast<uint64_t>(std::numeric_limits<T>::max()))
            throw std::runtime_error("'" + what + "' is out of range");
        return static_cast<T>(v);
    }
    const int64_t v = value.get<int64_t>();
    if (v < static_cast<int64_t>(std::numeric_limits<T>::min()) ||
        (v > 0 && static_cast<uint64_t>(v) > static_cast<uint64_t>(std::numeric_limits<T>::max())))
        throw std::runtime_error("'" + what + "' is out of range");
    return static_cast<T>(v);
}

template <class T>
T integerField(const nlohmann::json& json, const char* key) {
    return integerValue<T>(member(json, key), key);
}

template <class T>
std::vector<T> integerList(const nlohmann::json& json, const char* key) {
    const nlohmann::json& list = member(json, key);
    if (!list.is_array())
        throw std::runtime_error(std::string("'") + key + "' is not a list");
    std::vector<T> out;
    for (const nlohmann::json& v : list)
        out.push_back(integerValue<T>(v, key));
    return out;
}

inline const nlohmann::json& objectField(const nlohmann::json& json, const char* key) {
    const nlohmann::json& value = member(json, key);
    if (!value.is_object())
        throw std::runtime_error(std::string("'") + key + "' is not an object");
    return value;
}

inline std::string textField(const nlohmann::json& json, const char* key) {
    const nlohmann::json& value = member(json, key);
    if (!value.is_string())
        throw std::runtime_error(std::string("'") + key + "' is not a text");
    return value.get<std::string>();
}

}  // namespace cli
