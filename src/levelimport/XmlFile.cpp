#include "levelimport/XmlFile.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace levelimport {
namespace {

/// The line and column (both from 1) of byte `offset` of `text`.
std::string LineAndColumn(std::string_view text, std::ptrdiff_t offset) {
    const std::size_t at =
        std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)), text.size());
    const std::string_view before = text.substr(0, at);
    const auto line = std::count(before.begin(), before.end(), '\n') + 1;
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column = lineStart == std::string_view::npos ? at + 1 : at - lineStart;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

/// `text` as a whole number, or empty when it is anything else.
std::optional<std::int64_t> WholeNumber(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

XmlFile::XmlFile(std::string fileName, std::vector<Problem>& problems)
    : fileName(std::move(fileName)), problems(problems) {}

bool XmlFile::Parse(std::string_view text, const char* element) {
    const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
    if (!result) {
        return Reported("the XML is not well formed at " + LineAndColumn(text, result.offset) +
                        ": " + result.description());
    }
    const std::string root = Root().name();
    if (root == element) return true;
    return Reported("the top XML element is " + Quoted(root) + ", not \"" + element + "\"");
}

std::optional<std::int64_t> XmlFile::Integer(pugi::xml_node node, const char* name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return std::nullopt;
    return WholeNumber(attribute.value());
}

std::optional<double> XmlFile::Number(pugi::xml_node node, const char* name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return std::nullopt;
    const std::string text(Trimmed(attribute.value()));
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(number)) {
        return std::nullopt;
    }
    return number;
}

bool XmlFile::Hidden(pugi::xml_node node) {
    const pugi::xml_attribute visible = node.attribute("visible");
    return visible && Trimmed(visible.value()) == "0";
}

std::optional<XmlProperty> XmlFile::FindProperty(pugi::xml_node owner, const char* name) {
    for (const pugi::xml_node property : owner.child("properties").children("property")) {
        if (std::string_view(property.attribute("name").value()) != name) continue;
        const pugi::xml_attribute value = property.attribute("value");
        return XmlProperty{property.attribute("type").value(),
                           value ? value.value() : property.child_value()};
    }
    return std::nullopt;
}

std::optional<int> XmlFile::IntValue(const XmlProperty& property) {
    if (property.type != "int" && !property.type.empty()) return std::nullopt;
    const std::optional<std::int64_t> number = WholeNumber(property.value);
    if (!number || *number < std::numeric_limits<int>::min() ||
        *number > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

}  // namespace levelimport
