#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An append-only list of strings numbered from 1. The strings share one buffer, so that a
// tips file of a million lines costs a few allocations rather than a million.
class TipCollection {
  public:
    std::size_t Count() const { return ends_.size(); }
    // Entry index, 1 to Count(); std::out_of_range otherwise.
    std::wstring_view Item(std::int32_t index) const;

    void Add(std::wstring_view tip);
    // Adds other's entries after those held; takes other's buffers over when this is empty.
    void Append(TipCollection&& other);
    // Makes room for this many more characters, so that adding them copies nothing twice.
    void Reserve(std::size_t chars);

  private:
    std::wstring text_;
    std::vector<std::size_t> ends_; // where each entry ends in text_
};
