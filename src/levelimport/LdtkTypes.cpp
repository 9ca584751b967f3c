#include "levelimport/LdtkTypes.hpp"

#include "levelimport/JsonFile.hpp"

namespace levelimport {

bool LdtkTypes::Read(const std::string& typesFile, std::vector<Problem>& problems,
                     const FileSource& files) {
    file = typesFile;
    types.clear();
    std::string error;
    const std::optional<std::string> text = files(file, error);
    if (!text) {
        problems.push_back({file, error + " (the types file)"});
        return false;
    }
    JsonFile json(file, problems);
    if (!json.Parse(*text)) return false;
    for (const auto& member : json.Root().GetObject()) {
        const std::string key(member.name.GetString(), member.name.GetStringLength());
        if (!member.value.IsInt()) {
            // One line for the first: a file typed wrongly throughout would flood the screen.
            return json.Reported(Quoted(key) + " is not a whole number (a tile type)");
        }
        types[key] = member.value.GetInt();
    }
    return true;
}

std::optional<int> LdtkTypes::Find(const std::string& key) const {
    const auto type = types.find(key);
    if (type == types.end()) return std::nullopt;
    return type->second;
}

}  // namespace levelimport
