// Texts the benchmarks feed to the slots and the line splitter.
#pragma once
#include <cstddef>
#include <string>

namespace pinnafex {
namespace bench {

// `size` bytes of lower-case letters with a CR LF after every `lineLength` of them.
inline std::string MakeText(std::size_t size, std::size_t lineLength) {
  std::string text(size, 'x');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
  for (std::size_t i = lineLength; i + 1 < size; i += lineLength + 2) {
    text[i] = '\r';
    text[i + 1] = '\n';
  }
  return text;
}

}  // namespace bench
}  // namespace pinnafex
