#include "TextFile.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

std::string TextFile::read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) throw std::runtime_error("cannot read " + path);
    return text.str();
}

void TextFile::write(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text;
        file.flush();
        if (!file) {
            std::remove(temporary.c_str());
            throw std::runtime_error("cannot write " + path);
        }
    }
    moveIntoPlace(temporary, path);
}

void TextFile::moveIntoPlace(const std::string& temporary, const std::string& path) {
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temporary.c_str());
        throw std::runtime_error("cannot replace " + path + ": " + reason);
    }
}
