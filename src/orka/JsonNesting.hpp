#pragma once

#include <string>
#include <string_view>

namespace orka {

/// Deepest nesting of JSON arrays and objects that the engine's and the game's readers accept.
/// Their files need a handful of levels; a parser that recurses once per level would overflow
/// the stack on a file of a million '['.
constexpr int maxJsonNesting = 64;

/// True when `text` nests arrays and objects deeper than `maxDepth`, counting brackets outside
/// strings. Checks nothing else: the parser reports every other fault.
bool jsonNestsDeeperThan(std::string_view text, int maxDepth = maxJsonNesting);

/// The problem reported for such a text, the same words in every reader.
std::string jsonTooDeepMessage(int maxDepth = maxJsonNesting);

/// `message` with a quoted piece of input cut to a few dozen characters, so an error about a
/// huge one-line file stays one short line. `quoteStart` is where the quote begins.
std::string shortenedQuote(const std::string& message, std::size_t quoteStart);

}  // namespace orka
