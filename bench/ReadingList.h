#pragma once
// A list of reading texts that keeps only the most recent ones. It counts
// what was ever added and how often it was emptied, so that a view appends
// the texts added since it last looked instead of rebuilding the list.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace kvb::bench {

class ReadingList {
public:
    explicit ReadingList(size_t capacity) : capacity_(capacity) {}

    // Adds a text; past the capacity the oldest one goes.
    void push_back(std::string text)
    {
        items_.push_back(std::move(text));
        if (items_.size() > capacity_)
            items_.pop_front();
        ++added_;
    }
    void clear()
    {
        items_.clear();
        ++clears_;
    }

    const std::deque<std::string>& items() const { return items_; }
    std::vector<std::string> texts() const { return {items_.begin(), items_.end()}; }
    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    size_t capacity() const { return capacity_; }
    // Texts added since the start, and times emptied: neither ever goes down.
    uint64_t added() const { return added_; }
    uint64_t clears() const { return clears_; }

private:
    size_t capacity_;
    std::deque<std::string> items_;
    uint64_t added_ = 0;
    uint64_t clears_ = 0;
};

}  // namespace kvb::bench
