#include "ui/tip_of_day/tip_collection.h"

#include <stdexcept>

std::wstring_view TipCollection::Item(std::int32_t index) const {
    if (index < 1 || static_cast<std::size_t>(index) > ends_.size())
        throw std::out_of_range("TipList index out of range");
    const auto i = static_cast<std::size_t>(index) - 1;
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::wstring_view(text_).substr(begin, ends_[i] - begin);
}

void TipCollection::Add(std::wstring_view tip) {
    text_ += tip;
    ends_.push_back(text_.size());
}

void TipCollection::Append(TipCollection&& other) {
    if (ends_.empty()) {
        *this = std::move(other);
        return;
    }
    const std::size_t offset = text_.size();
    text_ += other.text_;
    ends_.reserve(ends_.size() + other.ends_.size());
    for (const std::size_t end : other.ends_)
        ends_.push_back(offset + end);
}

void TipCollection::Reserve(std::size_t chars) {
    text_.reserve(text_.size() + chars);
}
