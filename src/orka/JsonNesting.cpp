#include "orka/JsonNesting.hpp"

namespace orka {

namespace {

/// How much of the input an error message quotes at most.
constexpr std::size_t maxQuoted = 40;

}  // namespace

bool jsonNestsDeeperThan(std::string_view text, int maxDepth) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;  // the escaped character cannot end the string
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth) return true;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

std::string jsonTooDeepMessage(int maxDepth) {
    return "too deeply nested (more than " + std::to_string(maxDepth) +
           " levels of arrays and objects)";
}

std::string shortenedQuote(const std::string& message, std::size_t quoteStart) {
    if (quoteStart >= message.size() || message.size() - quoteStart <= maxQuoted) return message;
    return message.substr(0, quoteStart + maxQuoted) + "...";
}

}  // namespace orka
