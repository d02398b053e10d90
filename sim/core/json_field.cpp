// Typed JSON reading with path-precise complaints.
#include "sim/core/json_field.h"

#include "sim/core/description.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace sim {

namespace {

// A short rendering of what the description holds instead.
std::string Shown(const nlohmann::json& value) {
    std::string text;
    if (value.is_object())
        text = "an object";
    else if (value.is_array())
        text = "an array";
    else
        text = value.dump();
    constexpr std::size_t kLongest = 40;
    if (text.size() > kLongest)
        text = text.substr(0, kLongest) + "...";
    return text;
}

} // namespace

JsonField::JsonField(const nlohmann::json& value, std::string path, std::vector<std::string>& warnings)
    : m_value(&value), m_path(std::move(path)), m_warnings(&warnings) {}

std::string JsonField::MemberPath(std::string_view key) const {
    return m_path.empty() ? std::string(key) : m_path + "." + std::string(key);
}

void JsonField::Fail(const std::string& expected) const {
    throw DescriptionError(m_path, "expected " + expected + ", got " + Shown(*m_value));
}

void JsonField::RequireObject(std::initializer_list<std::string_view> known) const {
    if (!m_value->is_object())
        Fail("an object");
    for (const auto& member : m_value->items()) {
        if (std::find(known.begin(), known.end(), member.key()) == known.end())
            m_warnings->push_back(MemberPath(member.key()) + ": unknown field, ignored");
    }
}

std::optional<JsonField> JsonField::Member(std::string_view key) const {
    const auto found = m_value->find(key);
    if (found == m_value->end())
        return std::nullopt;
    return JsonField(*found, MemberPath(key), *m_warnings);
}

JsonField JsonField::RequiredMember(std::string_view key, const char* expected) const {
    if (auto member = Member(key))
        return *member;
    throw DescriptionError(MemberPath(key), std::string("missing; expected ") + expected);
}

std::vector<JsonField> JsonField::Elements() const {
    if (!m_value->is_array())
        Fail("an array");
    std::vector<JsonField> elements;
    for (std::size_t i = 0; i < m_value->size(); ++i)
        elements.emplace_back((*m_value)[i], m_path + "[" + std::to_string(i) + "]", *m_warnings);
    return elements;
}

std::string JsonField::String(std::size_t maxLength) const {
    if (!m_value->is_string())
        Fail("a text");
    std::string text = m_value->get<std::string>();
    if (text.size() > maxLength)
        Fail("a text of at most " + std::to_string(maxLength) + " characters");
    return text;
}

bool JsonField::Bool() const {
    if (!m_value->is_boolean())
        Fail("true or false");
    return m_value->get<bool>();
}

double JsonField::Number() const {
    if (!m_value->is_number())
        Fail("a number");
    return m_value->get<double>();
}

int64_t JsonField::Integer(int64_t min, int64_t max) const {
    const std::string expected = "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
    if (m_value->is_number_unsigned()) {
        const uint64_t value = m_value->get<uint64_t>();
        if ((min > 0 && value < static_cast<uint64_t>(min)) || value > static_cast<uint64_t>(max))
            Fail(expected);
        return static_cast<int64_t>(value);
    }
    if (m_value->is_number_integer()) {
        const int64_t value = m_value->get<int64_t>();
        if (value < min || value > max)
            Fail(expected);
        return value;
    }
    if (m_value->is_number_float()) {
        const double value = m_value->get<double>();
        if (std::floor(value) != value || value < static_cast<double>(min) ||
            value > static_cast<double>(max))
            Fail(expected);
        return static_cast<int64_t>(value);
    }
    Fail(expected);
}

uint32_t JsonField::Code() const {
    const char* expected =
        "an unsigned 32-bit code (a number, -1 for 0xFFFFFFFF, or a text such as \"0x102\")";
    if (m_value->is_string()) {
        const std::string text = m_value->get<std::string>();
        char* end = nullptr;
        const unsigned long long value = std::strtoull(text.c_str(), &end, 16);
        if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X') ||
            *end != '\0' || value > 0xFFFFFFFFull)
            Fail(expected);
        return static_cast<uint32_t>(value);
    }
    if (m_value->is_number_integer() && !m_value->is_number_unsigned() && m_value->get<int64_t>() == -1)
        return PVX_ERR_UNSUCCESSFUL;
    if (!m_value->is_number_unsigned() || m_value->get<uint64_t>() > 0xFFFFFFFFull)
        Fail(expected);
    return static_cast<uint32_t>(m_value->get<uint64_t>());
}

} // namespace sim
