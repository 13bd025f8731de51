#include "analysis/base_report.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tarvel {

namespace {
// Where in the report the parser is: the figures a diff needs lie at known places, so the
// report is read as a stream of events and only those are kept. A base of a million entries
// is read in a fraction of the time, and memory, a whole document tree would take. RapidJSON's
// reader gives the events: at a million entries it reads the base in a fifth of the time
// nlohmann-json's event parser takes, which decides whether a diff of two large builds takes
// under two seconds.
enum class place {
    other,        // anything the diff does not need, at any depth
    top,          // the report object
    total,        // "ram" or "rom"
    figure_list,  // "areas" or "searches"
    figure,       // one of their objects
    entry_list,   // "entries"
    entry,        // one entry
};

// The report's text, read in place: RapidJSON decodes each string over its escaped form, which
// is never shorter. Its other way, copying the string onto the reader's stack first, adds to
// the stack's null pointer before the stack has any storage, which is undefined behaviour.
// Past the end the stream gives NUL, as RapidJSON's memory stream does, so a text is read (and
// an error placed) as that stream reads it.
class c_in_place_stream {
  public:
    using Ch = char;

    c_in_place_stream(char* text, std::size_t size) : begin_(text), end_(text + size), src_(text) {}

    Ch Peek() const { return src_ == end_ ? '\0' : *src_; }
    Ch Take() { return src_ == end_ ? '\0' : *src_++; }
    std::size_t Tell() const { return static_cast<std::size_t>(src_ - begin_); }

    Ch* PutBegin() { return dst_ = src_; }
    void Put(Ch c) { *dst_++ = c; }
    std::size_t PutEnd(Ch* begin) { return static_cast<std::size_t>(dst_ - begin); }
    void Flush() {}

    // The length of the string last decoded from `begin`, without the NUL the reader ends it
    // with. The reader passes lengths in 32 bits, which would cut a string of 4 GiB short.
    std::size_t decoded_length(const char* begin) const {
        return static_cast<std::size_t>(dst_ - begin) - 1;
    }

  private:
    char* begin_;
    char* end_;
    char* src_;
    char* dst_ = nullptr;
};

class c_base_handler {
  public:
    c_base_handler(usage_snapshot& snapshot, const c_in_place_stream& stream)
        : snapshot_(snapshot), stream_(stream) {}

    // The reader's events.
    bool Null() { return scalar(kind::null); }
    bool Bool(bool) { return scalar(kind::other); }
    bool Int(int value) { return integer(value); }
    bool Uint(unsigned value) { return integer(value); }
    bool Int64(std::int64_t value) { return integer(value); }
    bool Uint64(std::uint64_t value) {
        return value > static_cast<std::uint64_t>(INT64_MAX)
                   ? beyond_int64(value)
                   : integer(static_cast<std::int64_t>(value));
    }
    // Numbers with a fraction or an exponent, and integers beyond 64 bits.
    bool Double(double) { return scalar(kind::number); }
    bool RawNumber(const char*, rapidjson::SizeType, bool) { return scalar(kind::number); }
    bool String(const char* text, rapidjson::SizeType, bool) {
        text_.assign(text, stream_.decoded_length(text));
        return scalar(kind::text);
    }
    bool Key(const char* text, rapidjson::SizeType, bool) {
        key_.assign(text, stream_.decoded_length(text));
        return note_key();
    }
    bool StartObject() { return deeper() && start_object(); }
    bool EndObject(rapidjson::SizeType) { return end_object(); }
    bool StartArray() { return deeper() && start_array(); }
    bool EndArray(rapidjson::SizeType) {
        stack_.pop_back();
        return true;
    }

    // The reading stopped at the object or array that would have been one level too deep.
    bool stopped_too_deep() const { return too_deep_; }

    void depth_error(std::size_t position) {
        syntax_error_ = std::string("nests deeper than a report can (depth ");
        syntax_error_.append(std::to_string(max_report_depth + 1))
            .append(" at byte ")
            .append(std::to_string(position))
            .append("; this program reads ")
            .append(std::to_string(max_report_depth))
            .append(" levels at most)");
    }

    // `at_end`: the text stops in the middle of a value, as a report cut short does.
    void syntax_error(std::size_t position, bool at_end, const char* message) {
        syntax_error_ = std::string("is not valid JSON (at byte ");
        syntax_error_.append(std::to_string(position))
            .append(at_end ? ", the end of the file: " : ": ")
            .append(message)
            .append(")");
    }

  private:
    // Every level costs a place on this stack and a frame of the reader's; the file alone
    // decides how many there are.
    bool deeper() {
        too_deep_ = stack_.size() == max_report_depth;
        return !too_deep_;
    }

    bool start_object() {
        const place parent = stack_.empty() ? place::other : stack_.back();
        place next = place::other;
        if (stack_.empty()) {
            next = place::top;
        } else if (parent == place::top && (key_ == "ram" || key_ == "rom")) {
            next = place::total;
            current_total_ = key_ == "ram" ? &ram_ : &rom_;
            total_keys_ = 0;
        } else if (parent == place::figure_list) {
            next = place::figure;
            figure_ = {};
            figure_seen_ = 0;
            item_keys_ = 0;
        } else if (parent == place::entry_list) {
            next = place::entry;
            entry_ = {};
            entry_seen_ = 0;
            item_keys_ = 0;
        }
        stack_.push_back(next);
        key_.clear();
        return true;
    }

    bool end_object() {
        const place ended = stack_.back();
        stack_.pop_back();
        if (ended == place::figure) {
            if (figure_seen_ != 3) {
                return fail(list_name_ + "[" + std::to_string(list_index_) + "] lacks \"" +
                            (figure_seen_ & 1 ? bytes_key() : label_key()) + "\"");
            }
            (list_name_ == "areas" ? snapshot_.areas : snapshot_.searches)
                .push_back(std::move(figure_));
            ++list_index_;
        } else if (ended == place::entry) {
            if (entry_seen_ != 7) {
                const char* missing = (entry_seen_ & 1) == 0   ? "area"
                                      : (entry_seen_ & 2) == 0 ? "name"
                                                               : "size";
                return fail("entries[" + std::to_string(list_index_) + "] lacks \"" + missing +
                            "\"");
            }
            snapshot_.entries.push_back(std::move(entry_));
            ++list_index_;
        }
        return true;
    }

    bool start_array() {
        const place parent = stack_.empty() ? place::other : stack_.back();
        place next = place::other;
        if (parent == place::top && (key_ == "areas" || key_ == "searches")) {
            next = place::figure_list;
            list_name_ = key_;
            seen_lists_ |= key_ == "areas" ? 1 : 2;
        } else if (parent == place::top && key_ == "entries") {
            next = place::entry_list;
            list_name_ = key_;
            seen_lists_ |= 4;
        }
        list_index_ = 0;
        stack_.push_back(next);
        return true;
    }

  public:
    // After the parse: the reason the report is no base, or empty.
    std::string finish() {
        if (!syntax_error_.empty()) {
            return syntax_error_;
        }
        if (!format_ok_) {
            return "is not a tarvel-usage report of tarvel-report";
        }
        // A refusal stops the reading, maybe before "version": a version read is named first,
        // as a report of another version may well hold what this one does not.
        if (!version_ok_ && (refusal_.empty() || !version_text_.empty())) {
            std::string text = version_text_.empty()
                                   ? std::string("has no integer \"version\"")
                                   : std::string("is a report of version ").append(version_text_);
            return text.append("; this program compares with version ")
                .append(std::to_string(json_format_version));
        }
        if (!refusal_.empty()) {
            return refusal_;
        }
        if (!error_.empty()) {
            return error_;
        }
        if (!ram_.seen || !rom_.seen) {
            return std::string("lacks what a comparison needs: \"")
                .append(ram_.seen ? "rom" : "ram")
                .append("\" has no integer \"used\"");
        }
        if (seen_lists_ != 7) {
            return std::string("lacks what a comparison needs: the report has no array \"")
                .append((seen_lists_ & 1) == 0   ? "areas"
                        : (seen_lists_ & 2) == 0 ? "searches"
                                                 : "entries")
                .append("\"");
        }
        snapshot_.ram_used = ram_.used;
        snapshot_.rom_used = rom_.used;
        return "";
    }

  private:
    enum class kind { null, number, text, other };

    struct total_figure {
        std::int64_t used = 0;
        bool seen = false;
    };

    std::string label_key() const { return list_name_ == "areas" ? "name" : "search"; }
    std::string bytes_key() const { return list_name_ == "areas" ? "used" : "bytes"; }

    bool fail(std::string message) {
        error_ = "lacks what a comparison needs: " + std::move(message);
        return false;
    }

    // A figure that a report of this program never holds: the file was made or changed by
    // something else, and a comparison with it would show figures nobody measured.
    bool refuse(const std::string& message) {
        refusal_ = std::string("is not a report of tarvel-report: ").append(message);
        return false;
    }

    // The members the diff reads appear once in each object of a report of this program. JSON
    // leaves a repeated name to the reader; which of two "used" a comparison took would be
    // a guess, so a repeated one is refused.
    bool note_key() {
        int* seen = nullptr;
        int bit = 0;
        const auto bit_of = [this](std::initializer_list<const char*> names) {
            int value = 1;
            for (const char* name : names) {
                if (key_ == name) {
                    return value;
                }
                value <<= 1;
            }
            return 0;
        };
        switch (here()) {
            case place::top:
                seen = &top_keys_;
                bit = bit_of({"format", "version", "ram", "rom", "areas", "searches", "entries"});
                break;
            case place::total:
                seen = &total_keys_;
                bit = bit_of({"used"});
                break;
            case place::figure:
                seen = &item_keys_;
                bit = key_ == label_key() ? 1 : key_ == bytes_key() ? 2 : 0;
                break;
            case place::entry:
                seen = &item_keys_;
                bit = bit_of({"area", "name", "size"});
                break;
            default:
                return true;
        }
        if ((*seen & bit) != 0) {
            return refuse(
                std::string(where()).append("\"").append(key_).append("\" appears twice"));
        }
        *seen |= bit;
        return true;
    }

    // A byte figure is a count of bytes: never negative, and at most 2^63 - 1.
    bool byte_figure(std::int64_t value, std::int64_t& figure) {
        if (value < 0) {
            return refuse(std::string(where())
                              .append("\"")
                              .append(key_)
                              .append("\" is negative (")
                              .append(std::to_string(value))
                              .append(")"));
        }
        figure = value;
        return true;
    }

    bool is_byte_figure_key() const {
        switch (here()) {
            case place::total:
                return key_ == "used";
            case place::figure:
                return key_ == bytes_key();
            case place::entry:
                return key_ == "size";
            default:
                return false;
        }
    }

    // An integer of 64 bits without a sign, above what a signed one holds.
    bool beyond_int64(std::uint64_t value) {
        if (here() == place::top && key_ == "version") {
            version_text_ = std::to_string(value);
            version_ok_ = false;
            return true;
        }
        if (is_byte_figure_key()) {
            return refuse(std::string(where())
                              .append("\"")
                              .append(key_)
                              .append("\" is ")
                              .append(std::to_string(value))
                              .append(", more than a byte figure can be (2^63 - 1)"));
        }
        // Where a string belongs, or where the diff does not look.
        return integer(0);
    }

    bool wrong_kind(const char* expected) {
        return fail(where() + "\"" + key_ + "\" is not " + expected);
    }

    std::string where() const {
        switch (stack_.back()) {
            case place::top:
                return "";
            case place::total:
                return current_total_ == &ram_ ? "ram." : "rom.";
            default:
                return list_name_ + "[" + std::to_string(list_index_) + "].";
        }
    }

    // A value outside every object and array, such as a report that is a bare number, is
    // nowhere the diff looks.
    place here() const { return stack_.empty() ? place::other : stack_.back(); }

    // Integers: the figures. A number beyond 64 bits arrives as a float and is refused where a
    // figure belongs.
    bool integer(std::int64_t value) {
        switch (here()) {
            case place::top:
                if (key_ == "version") {
                    version_text_ = std::to_string(value);
                    version_ok_ = value == json_format_version;
                }
                return true;
            case place::total:
                if (key_ == "used") {
                    current_total_->seen = true;
                    return byte_figure(value, current_total_->used);
                }
                return true;
            case place::figure:
                if (key_ == bytes_key()) {
                    figure_seen_ |= 2;
                    return byte_figure(value, figure_.bytes);
                }
                return key_ != label_key() || wrong_kind("a string");
            case place::entry:
                if (key_ == "size") {
                    entry_seen_ |= 4;
                    return byte_figure(value, entry_.size);
                }
                return (key_ != "area" && key_ != "name") || wrong_kind("a string");
            default:
                return true;
        }
    }

    bool scalar(kind what) {
        switch (here()) {
            case place::top:
                if (key_ == "format") {
                    format_ok_ = what == kind::text && text_ == json_format_name;
                } else if (key_ == "version") {
                    version_text_ = what == kind::text ? "\"" + text_ + "\"" : "";
                }
                return true;
            case place::total:
                return key_ != "used" || wrong_kind("an integer of at most 64 bits");
            case place::figure:
                if (key_ == label_key() && what == kind::text) {
                    figure_.label = std::move(text_);
                    figure_seen_ |= 1;
                    return true;
                }
                if (key_ == label_key()) {
                    return wrong_kind("a string");
                }
                return key_ != bytes_key() || wrong_kind("an integer of at most 64 bits");
            case place::entry:
                if ((key_ == "area" || key_ == "name") && what == kind::text) {
                    (key_ == "area" ? entry_.area : entry_.name) = std::move(text_);
                    entry_seen_ |= key_ == "area" ? 1 : 2;
                    return true;
                }
                if (key_ == "area" || key_ == "name") {
                    return wrong_kind("a string");
                }
                return key_ != "size" || wrong_kind("an integer of at most 64 bits");
            default:
                return true;
        }
    }

    usage_snapshot& snapshot_;
    const c_in_place_stream& stream_;
    std::vector<place> stack_;
    std::string key_;
    std::string text_;
    std::string error_;
    std::string syntax_error_;  // or the depth at which the reading stopped
    bool too_deep_ = false;
    std::string list_name_;
    std::size_t list_index_ = 0;
    int seen_lists_ = 0;
    total_figure ram_;
    total_figure rom_;
    total_figure* current_total_ = nullptr;
    snapshot_figure figure_;
    int figure_seen_ = 0;
    snapshot_entry entry_;
    int entry_seen_ = 0;
    bool format_ok_ = false;
    bool version_ok_ = false;
    std::string version_text_;  // empty: no integer or string "version"
    std::string refusal_;       // why the text is no report of this program
    int top_keys_ = 0;          // the members of the report object seen so far
    int total_keys_ = 0;        // of "ram" or "rom"
    int item_keys_ = 0;         // of the current figure or entry
};

}  // namespace

c_result<usage_snapshot> read_base_report(std::string text) {
    usage_snapshot snapshot;
    // The stream is told where the text ends: it may hold NUL bytes.
    c_in_place_stream stream(text.data(), text.size());
    c_base_handler handler(snapshot, stream);
    // The reader recurses once per level of objects and arrays; the handler stops it at the
    // level past `max_report_depth`, so no file can take more stack than that. RapidJSON's
    // iterative mode cannot replace it: it keeps its levels on the reader's stack, whose first
    // push adds to a null pointer (the same undefined behaviour as its string copies).
    rapidjson::Reader reader;
    const rapidjson::ParseResult result =
        reader.Parse<rapidjson::kParseInsituFlag>(stream, handler);
    // A handler that stopped the reading has said why already, except at the depth limit: the
    // reader takes the bracket before it announces the level, so the bracket stands one byte
    // before the error's offset.
    if (handler.stopped_too_deep()) {
        handler.depth_error(result.Offset() - 1);
    } else if (result.IsError() && result.Code() != rapidjson::kParseErrorTermination) {
        handler.syntax_error(result.Offset(), !text.empty() && result.Offset() >= text.size(),
                             rapidjson::GetParseError_En(result.Code()));
    }
    std::string error = handler.finish();
    if (!error.empty()) {
        return input_error{{}, 0, std::move(error)};
    }
    return snapshot;
}

}  // namespace tarvel
