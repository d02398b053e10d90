// Typed reading of one value of a JSON description that knows its own path, so that
// every complaint names the field ("cameras[1].exposure.min") and what was expected.
#pragma once

#include "camera/quorvex_api.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class JsonField {
public:
    // warnings collects fields that are not part of the format (they are ignored).
    JsonField(const nlohmann::json& value, std::string path, std::vector<std::string>& warnings);

    const std::string& Path() const { return m_path; }
    // The path of a member, also when it is absent.
    std::string MemberPath(std::string_view key) const;

    // Requires an object and warns about members not in known.
    void RequireObject(std::initializer_list<std::string_view> known) const;
    std::optional<JsonField> Member(std::string_view key) const;
    JsonField RequiredMember(std::string_view key, const char* expected) const;
    std::vector<JsonField> Elements() const; // requires an array

    bool IsString() const { return m_value->is_string(); }
    bool IsNumber() const { return m_value->is_number(); }

    std::string String(std::size_t maxLength) const;
    bool Bool() const;
    double Number() const;
    int64_t Integer(int64_t min, int64_t max) const;
    // An unsigned 32-bit code: a number (-1 stands for 0xFFFFFFFF) or a "0x..." text.
    uint32_t Code() const;

    [[noreturn]] void Fail(const std::string& expected) const;

private:
    const nlohmann::json* m_value;
    std::string m_path;
    std::vector<std::string>* m_warnings;
};

} // namespace sim
