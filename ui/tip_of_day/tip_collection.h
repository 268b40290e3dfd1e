#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A list of strings numbered from 1 that grows at its end. The strings share one buffer, each
// followed by a CR (which no tip holds), and only every 64th entry's start is kept: a tips file
// of a million lines costs a few allocations and little more than its text, however short its
// lines.
class TipCollection {
  public:
    std::size_t Count() const { return count_; }
    // Entry index, 1 to Count(); std::out_of_range otherwise.
    std::wstring_view Item(std::int32_t index) const;

    // Adds an entry: the text, without CR, that fill(buffer) appends to the buffer it is given.
    template <typename Fill> void Add(Fill fill) {
        if (count_ % kStride == 0)
            starts_.push_back(text_.size());
        fill(text_);
        text_ += L'\r';
        ++count_;
    }
    // Keeps the first count entries only: undoes the adding of the others.
    void Truncate(std::size_t count);
    // Makes room for entries of this many characters in all, counting one more for each entry,
    // so that adding them copies nothing twice.
    void Reserve(std::size_t chars);

  private:
    static constexpr std::size_t kStride = 64;

    // Where entry i (from 0) starts in text_.
    std::size_t Start(std::size_t i) const;

    std::wstring text_;
    std::vector<std::size_t> starts_; // where entries 0, kStride, 2 kStride... start
    std::size_t count_ = 0;
};
