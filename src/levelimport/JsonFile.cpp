#include "levelimport/JsonFile.hpp"

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>

#include <cstring>
#include <optional>
#include <utility>

namespace levelimport {

using rapidjson::Value;

JsonFile::JsonFile(std::string fileName, std::vector<Problem>& problems)
    : fileName(std::move(fileName)), problems(problems) {}

bool JsonFile::Parse(std::string_view text) {
    // Iterative: a file nested a million levels deep must not use up the stack.
    rapidjson::MemoryStream memory(text.data(), text.size());
    document.ParseStream<rapidjson::kParseIterativeFlag>(memory);
    if (document.HasParseError()) {
        return Reported("invalid JSON at offset " + std::to_string(document.GetErrorOffset()) +
                        ": " + rapidjson::GetParseError_En(document.GetParseError()));
    }
    if (!document.IsObject()) return Reported("the top level is not a JSON object");
    return true;
}

const Value* JsonFile::Find(const Value& object, const char* key) {
    if (!object.IsObject()) return nullptr;
    const auto member = object.FindMember(key);
    return member == object.MemberEnd() ? nullptr : &member->value;
}

std::string JsonFile::String(const Value& object, const char* key) {
    const Value* value = Find(object, key);
    if (value == nullptr || !value->IsString()) return "";
    return std::string(value->GetString(), value->GetStringLength());
}

const Value* JsonFile::FindProperty(const Value& owner, const char* name) {
    const Value* properties = Find(owner, "properties");
    if (properties == nullptr) return nullptr;
    if (properties->IsObject()) return Find(*properties, name);
    if (!properties->IsArray()) return nullptr;
    for (const Value& property : properties->GetArray()) {
        const Value* key = Find(property, "name");
        if (key != nullptr && key->IsString() && key->GetStringLength() == std::strlen(name) &&
            std::memcmp(key->GetString(), name, key->GetStringLength()) == 0) {
            return Find(property, "value");
        }
    }
    return nullptr;
}

}  // namespace levelimport
