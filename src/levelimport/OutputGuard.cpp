#include "levelimport/OutputGuard.hpp"

#include <rapidjson/document.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace levelimport {
namespace {

/// A level file is far smaller than this; anything bigger is no level file of ours.
constexpr off_t kLargestLevelFile = off_t{256} << 20;

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/// The keys of a level file besides "arrayOfTiles"; a file without tiles holds only these.
const char* const kLevelKeys[] = {"id", "name", "deathLevelInY", "backdrop", "camera"};

/// Whether an object without "arrayOfTiles" is still a level (one without tiles): a tile-type
/// file or an atlas has keys no level has.
bool OnlyLevelKeys(const rapidjson::Value& object) {
    for (const auto& member : object.GetObject()) {
        const std::string key(member.name.GetString(), member.name.GetStringLength());
        if (std::find(std::begin(kLevelKeys), std::end(kLevelKeys), key) == std::end(kLevelKeys)) {
            return false;
        }
    }
    return true;
}

/// Whether the regular file `name` of `size` bytes holds a level, so that replacing it loses
/// nothing but an older import.
bool HoldsLevel(const std::string& name, off_t size) {
    if (size == 0) return true;  // nothing to lose
    if (size > kLargestLevelFile) return false;
    std::ifstream stream(name, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(stream), {}};
    rapidjson::Document document;
    document.Parse(text.data(), text.size());
    if (document.HasParseError() || !document.IsObject()) return false;
    const auto tiles = document.FindMember("arrayOfTiles");
    if (tiles == document.MemberEnd()) return OnlyLevelKeys(document);
    return tiles->value.IsArray();
}

}  // namespace

std::optional<std::string> OutputGuard::Refusal(const std::vector<std::string>& inputs) const {
    struct stat target {};
    if (stat(output.c_str(), &target) != 0) return std::nullopt;  // a new file: nothing to lose
    const std::string refused = output + ": not written: ";
    for (const std::string& input : inputs) {
        struct stat used {};
        if (stat(input.c_str(), &used) != 0 || !SameFile(target, used)) continue;
        const std::string same = input == output ? "" : " (" + input + ")";
        return refused + "it is a file the import reads" + same +
               "; give the level file to write as the last argument";
    }
    if (!S_ISREG(target.st_mode)) return refused + "it is not a regular file";
    if (!HoldsLevel(output, target.st_size)) {
        return refused + "it exists and is not a level file; " +
               "remove it first if it should be replaced";
    }
    return std::nullopt;
}

}  // namespace levelimport
