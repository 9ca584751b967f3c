#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// A custom property as Tiled's XML writes it: <property name type value/>, its value in the
/// "value" attribute or, for multi-line strings, in the element's text.
struct XmlProperty {
    std::string type;  ///< "int", "float", "bool", "string", ...; empty when not written (old maps)
    std::string value;
};

/// An XML file of a map (the map, a tileset or a template) parsed by pugixml, and where its
/// problems go. The problem list must outlive the file.
class XmlFile {
public:
    XmlFile(std::string fileName, std::vector<Problem>& problems);

    /// Parses `text`, the file's contents, and finds its top element, which must be named
    /// `element`; false, after reporting why (with the line and column of an error), when not.
    bool Parse(std::string_view text, const char* element);

    /// The top element named in Parse.
    pugi::xml_node Root() const { return document.document_element(); }
    const std::string& Name() const { return fileName; }
    void Report(const std::string& text) const { problems.push_back({fileName, text}); }
    bool Reported(const std::string& text) const {
        Report(text);
        return false;
    }

    /// The attribute `name` of `node` as a whole number, or empty when absent or not one.
    static std::optional<std::int64_t> Integer(pugi::xml_node node, const char* name);
    /// The attribute `name` of `node` as a finite number, or empty when absent or not one.
    static std::optional<double> Number(pugi::xml_node node, const char* name);
    /// Whether `node` is hidden: Tiled writes visible="0" only for hidden layers.
    static bool Hidden(pugi::xml_node node);
    /// The custom property `name` of `owner` (a map, a tileset's tile, ...), or empty.
    static std::optional<XmlProperty> FindProperty(pugi::xml_node owner, const char* name);
    /// The int a property holds: one of type "int", or of no type (maps of old Tiled versions
    /// wrote none) whose value is a whole number. Empty otherwise.
    static std::optional<int> IntValue(const XmlProperty& property);

private:
    std::string fileName;
    std::vector<Problem>& problems;
    pugi::xml_document document;
};

}  // namespace levelimport
