#include "datadict/data_dict_parser.h"

#include <cstdint>
#include <iterator>
#include <limits>
#include <new>
#include <nlohmann/json.hpp>
#include <unordered_set>
#include <utility>
#include <vector>

#include "datadict/text_position.h"
#include "hxmsg.h"

namespace harbor {

namespace {

using Json = nlohmann::json;

constexpr std::string_view kReferenceKey = "@ref";

// Feeds the text to the JSON parser one byte at a time and counts what it has read, so that the
// builder knows where in the text each parser event happened.
class CountingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CountingIterator() = default;
    CountingIterator(const char* at, std::size_t* consumed) : at_(at), consumed_(consumed) {}

    const char& operator*() const { return *at_; }
    CountingIterator& operator++() {
        ++at_;
        ++*consumed_;
        return *this;
    }
    CountingIterator operator++(int) {
        CountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const CountingIterator& other) const { return at_ == other.at_; }

private:
    const char* at_ = nullptr;
    std::size_t* consumed_ = nullptr;
};

bool IsNumberByte(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

// The parser's own message without its exception prefix. After a value it reports only the
// closing bracket as expected, though a comma is as welcome.
std::string CleanParserMessage(std::string_view what) {
    std::string message;
    std::size_t dash = what.find(" - ");
    if (what.find("syntax error") != std::string_view::npos && dash != std::string_view::npos) {
        message = what.substr(dash + 3);
    } else {
        std::size_t bracket = what.find("] ");
        message = bracket == std::string_view::npos ? what : what.substr(bracket + 2);
    }
    for (std::string_view bracket : {"'}'", "']'"}) {
        std::string expected = "; expected " + std::string(bracket);
        if (message.ends_with(expected)) {
            message.replace(message.size() - bracket.size(), bracket.size(),
                            "',' or " + std::string(bracket));
        }
    }
    // The bytes the parser quotes back run from an earlier token and may be raw, invalid UTF-8;
    // the line and column say where the fault is.
    std::size_t quote = message.find("; last read: '");
    if (quote != std::string::npos) {
        std::size_t expected = message.rfind("'; expected ");
        message.erase(quote, expected != std::string::npos && expected > quote
                                 ? expected + 1 - quote
                                 : std::string::npos);
    }
    return message;
}

// Builds the tree from the parser's events, bottom up: a container's children are collected in
// its frame and copied into the tree's stable storage when it closes.
class TreeBuilder {
public:
    TreeBuilder(std::string_view text, const std::size_t& consumed, const DataDictLimits& limits,
                DataDict& dict)
        : text_(text), consumed_(consumed), limits_(limits), dict_(dict) {}

    const std::string& Error() const { return error_; }
    std::size_t ErrorOffset() const { return error_offset_; }
    bool HasRoot() const { return has_root_; }
    const HostValue& RootValue() const { return root_; }

    // The parser's events.
    bool null() { return Fail(BeginScalar(), "null is not allowed: leave the key out instead"); }
    bool boolean(bool value) { return Add(DataDict::Integer(value ? 1 : 0), BeginScalar()); }
    bool number_integer(Json::number_integer_t value) { return Integer(value, BeginNumber()); }
    bool number_unsigned(Json::number_unsigned_t value) { return Integer(value, BeginNumber()); }
    bool number_float(Json::number_float_t, const Json::string_t& spelling);
    bool string(Json::string_t& value);
    bool binary(Json::binary_t&) { return Fail(BeginScalar(), "binary values are not allowed"); }
    bool start_object(std::size_t) { return Open(false); }
    bool key(Json::string_t& name);
    bool end_object() { return Close(); }
    bool start_array(std::size_t) { return Open(true); }
    bool end_array() { return Close(); }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& error);

private:
    struct Frame {
        bool is_array = false;
        bool is_reference = false;  // an object whose one key is "@ref"
        std::size_t offset = 0;     // of its opening bracket
        std::vector<HostValue> elements;  // an array's elements, or a reference's target
        std::vector<HostPair> pairs;
        std::unordered_set<uint16_t> keys;
        uint16_t key = 0;  // the key whose value comes next
    };

    std::size_t BeginScalar();
    std::size_t BeginNumber();
    bool Fail(std::size_t offset, std::string message);
    bool Integer(std::int64_t value, std::size_t offset);
    bool Integer(std::uint64_t value, std::size_t offset);
    bool Atom(std::string_view name, std::size_t offset, uint16_t& atom);
    bool Add(const HostValue& value, std::size_t offset);
    bool Open(bool is_array);
    bool Close();
    bool ReferenceKey(Frame& frame, std::string_view name, std::size_t offset);

    std::string_view text_;
    const std::size_t& consumed_;  // bytes the parser has read so far
    const DataDictLimits& limits_;
    DataDict& dict_;
    std::size_t previous_end_ = 0;  // where the text after the last event begins
    std::vector<Frame> frames_;
    std::unordered_set<uint16_t> names_;
    HostValue root_{};
    bool has_root_ = false;
    std::string error_;
    std::size_t error_offset_ = 0;
};

// A scalar or key token has been read whole, with nothing after it.
std::size_t TreeBuilder::BeginScalar() {
    std::size_t start = NextTokenStart(text_, previous_end_);
    previous_end_ = consumed_;
    return start;
}

// The parser reads one byte past a number to find its end, unless the text ends there.
std::size_t TreeBuilder::BeginNumber() {
    std::size_t start = NextTokenStart(text_, previous_end_);
    std::size_t end = consumed_;
    if (end > start && end <= text_.size() && !IsNumberByte(text_[end - 1])) --end;
    previous_end_ = end;
    return start;
}

bool TreeBuilder::Fail(std::size_t offset, std::string message) {
    if (error_.empty()) {
        error_ = std::move(message);
        error_offset_ = offset;
    }
    return false;
}

bool TreeBuilder::Integer(std::int64_t value, std::size_t offset) {
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return Fail(offset, "integer " + std::to_string(value) + " does not fit in 32 bits");
    }
    if (value >= 0) return Integer(static_cast<std::uint64_t>(value), offset);
    return Add(DataDict::Integer(static_cast<uint32_t>(static_cast<int32_t>(value))), offset);
}

bool TreeBuilder::Integer(std::uint64_t value, std::size_t offset) {
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        return Fail(offset, "integer " + std::to_string(value) + " does not fit in 32 bits");
    }
    return Add(DataDict::Integer(static_cast<uint32_t>(value)), offset);
}

bool TreeBuilder::number_float(Json::number_float_t, const Json::string_t& spelling) {
    std::size_t offset = BeginNumber();
    // Integers too large for 64 bits reach here too; they deserve the range message.
    if (spelling.find_first_of(".eE") == std::string::npos) {
        return Fail(offset, "integer " + spelling + " does not fit in 32 bits");
    }
    return Fail(offset, "floating-point number " + spelling +
                            " is not allowed: numbers are 32-bit integers");
}

bool TreeBuilder::Atom(std::string_view name, std::size_t offset, uint16_t& atom) {
    if (name.empty()) return Fail(offset, "empty name");
    if (name.find('\0') != std::string_view::npos) {
        return Fail(offset, "a name cannot hold a NUL character");
    }
    uint32_t got = DaNameGet(std::string(name).c_str());
    if (got == 0 || got > 0xFFFF) {
        return Fail(offset, "no name atom for '" + std::string(name) + "'");
    }
    atom = static_cast<uint16_t>(got);
    names_.insert(atom);
    if (names_.size() > limits_.max_names) {
        return Fail(offset, "more than " + std::to_string(limits_.max_names) + " distinct names");
    }
    return true;
}

bool TreeBuilder::string(Json::string_t& value) {
    std::size_t offset = BeginScalar();
    std::string_view s = value;
    if (s.starts_with('@') && !s.starts_with("@@")) {
        uint16_t atom = 0;
        return Atom(s.substr(1), offset, atom) && Add(DataDict::Name(atom), offset);
    }
    if (s.starts_with("@@")) s.remove_prefix(1);
    if (s.find('\0') != std::string_view::npos) {
        return Fail(offset, "a text cannot hold a NUL character");
    }
    return Add(dict_.Text(s), offset);
}

bool TreeBuilder::ReferenceKey(Frame& frame, std::string_view name, std::size_t offset) {
    bool starts_reference = name == kReferenceKey && frame.pairs.empty() && !frame.is_reference;
    if (starts_reference) {
        frame.is_reference = true;
        return true;
    }
    return Fail(offset, "'@ref' must be the only key of its object");
}

bool TreeBuilder::key(Json::string_t& name) {
    std::size_t offset = BeginScalar();
    Frame& frame = frames_.back();
    if (name == kReferenceKey || frame.is_reference) return ReferenceKey(frame, name, offset);
    uint16_t atom = 0;
    if (!Atom(name, offset, atom)) return false;
    if (!frame.keys.insert(atom).second) return Fail(offset, "duplicate key '" + name + "'");
    frame.key = atom;
    return true;
}

bool TreeBuilder::Add(const HostValue& value, std::size_t offset) {
    if (frames_.empty()) {
        root_ = value;
        has_root_ = true;
        return true;
    }
    Frame& frame = frames_.back();
    if (frame.is_array || frame.is_reference) {
        if (frame.elements.size() >= kMaxArrayElements) {
            return Fail(offset, "an array holds at most " + std::to_string(kMaxArrayElements) +
                                    " elements");
        }
        frame.elements.push_back(value);
        return true;
    }
    if (frame.pairs.size() >= kMaxDictionaryPairs) {
        return Fail(offset, "an object holds at most " + std::to_string(kMaxDictionaryPairs) +
                                " keys");
    }
    frame.pairs.push_back(HostPair{DataDict::Name(frame.key), value});
    return true;
}

bool TreeBuilder::Open(bool is_array) {
    std::size_t offset = consumed_ == 0 ? 0 : consumed_ - 1;  // the bracket just read
    previous_end_ = consumed_;
    if (frames_.size() >= limits_.max_depth) {
        return Fail(offset, "nesting deeper than " + std::to_string(limits_.max_depth) + " levels");
    }
    frames_.emplace_back();
    frames_.back().is_array = is_array;
    frames_.back().offset = offset;
    return true;
}

bool TreeBuilder::Close() {
    previous_end_ = consumed_;
    Frame frame = std::move(frames_.back());
    frames_.pop_back();
    HostValue value{};
    if (frame.is_array) {
        value = dict_.Array(frame.elements);
    } else if (frame.is_reference) {
        if (frame.elements.empty()) return Fail(frame.offset, "'@ref' without a value");
        value = dict_.Reference(frame.elements.front());
    } else {
        value = dict_.Dictionary(frame.pairs);
    }
    return Add(value, frame.offset);
}

bool TreeBuilder::parse_error(std::size_t position, const std::string&,
                              const nlohmann::detail::exception& error) {
    std::string message = CleanParserMessage(error.what());
    // Messages point at the start of the offending token, except inside a string, where the
    // byte the parser stopped at (one before its count of bytes read) is the culprit.
    std::size_t stopped = position == 0 ? 0 : position - 1;
    std::size_t token = NextTokenStart(text_, previous_end_);
    bool inside_string = message.starts_with("invalid string");
    return Fail(inside_string || token > stopped ? stopped : token, std::move(message));
}

std::string Located(std::string_view source, std::string_view text, std::size_t offset,
                    std::string_view message) {
    LineColumn at = LineColumnAt(text, offset);
    return std::string(source) + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) +
           ": " + std::string(message);
}

DataDictResult Failure(std::string message) { return DataDictResult{nullptr, std::move(message)}; }

}  // namespace

DataDictResult ParseDataDict(std::string_view text, std::string_view source,
                             const DataDictLimits& limits) {
    if (text.size() > limits.max_bytes) {
        return Failure(std::string(source) + ": larger than the limit of " +
                       std::to_string(limits.max_bytes) + " bytes");
    }
    try {
        auto dict = std::make_unique<DataDict>();
        std::size_t consumed = 0;
        TreeBuilder builder(text, consumed, limits, *dict);
        CountingIterator first(text.data(), &consumed);
        CountingIterator last(text.data() + text.size(), &consumed);
        constexpr bool kStrict = true;        // nothing may follow the top-level value
        constexpr bool kAllowComments = true;  // authors explain their settings
        bool parsed = Json::sax_parse(first, last, &builder, nlohmann::json::input_format_t::json,
                                      kStrict, kAllowComments);
        if (!parsed || !builder.HasRoot()) {
            std::string_view what = builder.Error().empty() ? "not a data dictionary"
                                                            : std::string_view(builder.Error());
            return Failure(Located(source, text, builder.ErrorOffset(), what));
        }
        dict->SetRoot(builder.RootValue());
        return DataDictResult{std::move(dict), {}};
    } catch (const std::bad_alloc&) {
        return Failure(std::string(source) + ": out of memory");
    } catch (const std::exception& e) {
        return Failure(std::string(source) + ": " + e.what());
    }
}

}  // namespace harbor
