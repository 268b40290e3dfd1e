#include "ui/tip_of_day/tip_collection.h"

#include <stdexcept>

std::size_t TipCollection::Start(std::size_t i) const {
    std::size_t start = starts_[i / kStride];
    for (std::size_t skip = i % kStride; skip > 0; --skip)
        start = text_.find(L'\r', start) + 1;
    return start;
}

std::wstring_view TipCollection::Item(std::int32_t index) const {
    if (index < 1 || static_cast<std::size_t>(index) > count_)
        throw std::out_of_range("TipList index out of range");
    const std::size_t start = Start(static_cast<std::size_t>(index) - 1);
    return std::wstring_view(text_).substr(start, text_.find(L'\r', start) - start);
}

void TipCollection::Truncate(std::size_t count) {
    if (count >= count_)
        return;
    text_.resize(Start(count));
    starts_.resize((count + kStride - 1) / kStride);
    count_ = count;
}

void TipCollection::Reserve(std::size_t chars) {
    text_.reserve(text_.size() + chars);
    starts_.reserve(starts_.size() + chars / kStride + 1);
}
