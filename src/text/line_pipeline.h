// Lines of a text read, and each made into a record, on a second thread while the caller works
// through the records of the lines before. For the readers of maps of millions of lines: what a
// line is (its kind, its numbers) depends on that line alone and costs about as much as what a
// reader then does with it, so the two halves of the work run side by side on two cores.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace tarvel {

// `NextLine` is a callable `bool(std::string_view&)` giving the lines in order (false at the
// end); `MakeRecord` a callable `Record(std::string_view line)`. Both are called on the worker
// thread only, one line after the other, so either may keep state from line to line; the line
// they are given stays valid until the caller has moved past its record, so a record may hold
// views into it. The caller takes the records in order with `next`. Destroying the pipeline
// stops the worker, also before the last line: a reader that stops early reads no further.
template <class Record, class NextLine, class MakeRecord>
class c_line_pipeline {
  public:
    c_line_pipeline(NextLine next_line, MakeRecord make_record)
        : next_line_(std::move(next_line)), make_record_(std::move(make_record)) {
        for (std::size_t i = 0; i < batch_count; ++i) {
            free_.push_back(std::make_unique<batch>());
        }
        worker_ = std::thread([this] { produce(); });
    }

    ~c_line_pipeline() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }

    c_line_pipeline(const c_line_pipeline&) = delete;
    c_line_pipeline& operator=(const c_line_pipeline&) = delete;

    // The record of the next line, valid until the next call; null after the last line.
    const Record* next() {
        if (current_ && taken_ < current_->records.size()) {
            return &current_->records[taken_++];
        }
        if (!next_batch()) {
            return nullptr;
        }
        taken_ = 1;
        return &current_->records[0];
    }

    // The number of the line whose record `next` gave last, counted from 1.
    std::uint64_t line_number() const { return first_line_ + taken_ - 1; }

  private:
    // Enough lines for the hand-over to cost nothing against their work, and few enough
    // characters for the batches to stay in the cache of a core.
    static constexpr std::size_t batch_lines = 4096;
    static constexpr std::size_t batch_characters = 256 * 1024;
    static constexpr std::size_t batch_count = 4;

    struct batch {
        std::vector<char> text;  // the lines' characters, never moved while records view them
        std::vector<Record> records;
    };

    // Hands the batch being read back to the worker and waits for the next filled one.
    bool next_batch() {
        std::unique_lock lock(mutex_);
        if (current_) {
            first_line_ += current_->records.size();
            free_.push_back(std::move(current_));
            changed_.notify_all();
        }
        changed_.wait(lock, [this] { return !filled_.empty() || finished_; });
        if (filled_.empty()) {
            return false;
        }
        current_ = std::move(filled_.front());
        filled_.pop_front();
        changed_.notify_all();
        return true;
    }

    void produce() {
        bool more = true;
        while (more) {
            std::unique_ptr<batch> filling;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return !free_.empty() || stopping_; });
                if (stopping_) {
                    return;
                }
                filling = std::move(free_.back());
                free_.pop_back();
            }
            filling->text.clear();
            filling->text.reserve(batch_characters);
            filling->records.clear();
            more = fill(*filling);
            {
                const std::lock_guard lock(mutex_);
                if (!filling->records.empty()) {
                    filled_.push_back(std::move(filling));
                }
                finished_ = !more;
            }
            changed_.notify_all();
        }
    }

    // Adds lines to `filling` until it is full (true) or the text ends (false). A line that
    // does not fit stays pending for the next batch: its view holds until the next line is read.
    bool fill(batch& filling) {
        std::vector<char>& text = filling.text;
        for (;;) {
            if (!has_pending_ && !next_line_(pending_)) {
                return false;
            }
            has_pending_ = true;
            if (text.capacity() - text.size() < pending_.size()) {
                if (!filling.records.empty()) {
                    return true;
                }
                text.reserve(pending_.size());  // a line longer than a batch, alone in its own
            }
            const std::size_t at = text.size();
            text.insert(text.end(), pending_.begin(), pending_.end());
            filling.records.push_back(
                make_record_(std::string_view(text.data() + at, pending_.size())));
            has_pending_ = false;
            if (filling.records.size() == batch_lines) {
                return true;
            }
        }
    }

    NextLine next_line_;
    MakeRecord make_record_;
    std::thread worker_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<batch>> filled_;  // in the order of their lines
    std::vector<std::unique_ptr<batch>> free_;
    bool finished_ = false;
    bool stopping_ = false;

    // The caller's side.
    std::unique_ptr<batch> current_;
    std::size_t taken_ = 0;
    std::uint64_t first_line_ = 1;

    // The worker's side: a line read that did not fit into the batch before.
    std::string_view pending_;
    bool has_pending_ = false;
};

}  // namespace tarvel
