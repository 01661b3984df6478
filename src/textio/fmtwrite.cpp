// Formatted writes: a small interpreter of the program's format literals,
// which keeps the last format it parsed, since rows of a table repeat one.
// The whole statement is built before any byte is handed to the unit, so a
// malformed format or a value that does not suit its descriptor (both
// programming errors) throws std::logic_error and writes nothing.
#include "textio/layer.hpp"

#include <charconv>
#include <stdexcept>
#include <string>
#include <vector>

namespace textio {

namespace {

// The records of one statement under construction, end to end in one text,
// with the blanks owed before the next written character.  The storage is the
// layer's scratch, reused from statement to statement.
struct RecordBuilder {
    std::string& text;
    std::vector<std::size_t>& ends;  // end of each finished record in text
    long pending = 0;

    void put(std::string_view characters)
    {
        text.append(static_cast<std::size_t>(pending), ' ');
        pending = 0;
        text.append(characters);
    }
    // Right-justified in `width` columns, or `width` asterisks when longer.
    void field(std::string_view value, int width)
    {
        if (value.size() > static_cast<std::size_t>(width)) {
            text.append(static_cast<std::size_t>(pending), ' ');
            pending = 0;
            text.append(static_cast<std::size_t>(width), '*');
        } else {
            pending += width - static_cast<long>(value.size());
            put(value);
        }
    }
    // Ends the current record; blanks still pending are dropped.
    void end_record()
    {
        ends.push_back(text.size());
        pending = 0;
    }
};

[[noreturn]] void bad_format(std::string_view format, std::size_t at, const std::string& why)
{
    throw std::logic_error("record layer: format " + std::string(format) + " at position " + std::to_string(at) +
                           ": " + why);
}

using detail::FormatCache;
using detail::FormatOp;

class FormatWalker {
public:
    FormatWalker(std::string_view format, std::initializer_list<Item> values, std::string& text,
                 std::vector<std::size_t>& ends)
        : format_(format), values_(values.begin()), count_(values.size()), record_{text, ends}
    {
        text.clear();
        ends.clear();
    }

    // Builds every record of the statement into the builder's storage.  A
    // format walked to its closing parenthesis without fault is kept in
    // `cache`, and the same format next time is replayed from its parsed items
    // instead of being parsed again; the replay meets the values exactly as
    // the walk does, so its output and its faults are the same.
    void run(FormatCache& cache)
    {
        if (cache.valid && cache.format == format_) {
            for (const FormatOp& op : cache.ops) {
                if (!execute(op, cache.texts)) break;  // a value descriptor with no value left
            }
            finish(format_.size() - 1);
            return;
        }
        cache.valid = false;
        if (walk()) {
            cache.format.assign(format_);
            cache.ops = std::move(ops_);
            cache.texts = std::move(texts_);
            cache.valid = true;
        }
    }

private:
    // Parses and executes the items in turn; true when every item up to the
    // closing parenthesis was parsed (no value descriptor ran out of values).
    bool walk()
    {
        if (format_.size() < 2 || format_.front() != '(' || format_.back() != ')') {
            bad_format(format_, 0, "not enclosed in parentheses");
        }
        pos_ = 1;
        const std::size_t end = format_.size() - 1;
        bool expect_item = true;  // at the start or after a comma
        bool complete = true;
        while (pos_ < end) {
            const char c = format_[pos_];
            if (c == ' ') {
                ++pos_;
            } else if (c == ',') {
                if (expect_item) bad_format(format_, pos_, "empty item");
                expect_item = true;
                ++pos_;
            } else if (c == '/') {
                ++pos_;
                const FormatOp op{FormatOp::Kind::Slash};
                ops_.push_back(op);
                execute(op, texts_);
                expect_item = false;
            } else {
                if (!expect_item) bad_format(format_, pos_, "missing comma between items");
                const FormatOp op = item(end);
                ops_.push_back(op);
                if (!execute(op, texts_)) {  // a value descriptor with no value left
                    complete = false;
                    break;
                }
                expect_item = false;
            }
        }
        if (next_ < count_) bad_format(format_, pos_, "more values than value descriptors");
        if (expect_item && pos_ >= end && format_.size() > 2 && format_[end - 1] == ',') {
            bad_format(format_, end, "empty item");
        }
        record_.end_record();
        return complete;
    }

    // The end of the statement after its items: values left over are a fault
    // (reported at `end`, the closing parenthesis), and the last record ends.
    void finish(std::size_t end)
    {
        if (next_ < count_) bad_format(format_, end, "more values than value descriptors");
        record_.end_record();
    }

    int number(std::size_t end)
    {
        std::size_t start = pos_;
        long value = 0;
        while (pos_ < end && format_[pos_] >= '0' && format_[pos_] <= '9') {
            value = value * 10 + (format_[pos_] - '0');
            if (value > 10000) bad_format(format_, start, "number too large");
            ++pos_;
        }
        if (pos_ == start) bad_format(format_, start, "number expected");
        return static_cast<int>(value);
    }

    const Item& take(Item::Kind kind, std::size_t at)
    {
        const Item& value = values_[next_++];
        if (value.kind() != kind) bad_format(format_, at, "value " + std::to_string(next_) + " has the wrong type");
        return value;
    }

    // Parses the item at pos_ (a text's characters go to texts_).
    FormatOp item(std::size_t end)
    {
        FormatOp op{};
        op.at = pos_;
        if (format_[pos_] == '\'') {
            op.kind = FormatOp::Kind::Text;
            op.text_begin = texts_.size();
            ++pos_;
            for (;;) {
                if (pos_ >= end) bad_format(format_, op.at, "unterminated text");
                if (format_[pos_] == '\'') {
                    if (pos_ + 1 < end && format_[pos_ + 1] == '\'') {
                        texts_.push_back('\'');
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                texts_.push_back(format_[pos_++]);
            }
            op.text_end = texts_.size();
            return op;
        }
        const bool counted = format_[pos_] >= '0' && format_[pos_] <= '9';
        if (counted) op.repeat = number(end);
        if (pos_ >= end) bad_format(format_, op.at, "descriptor expected");
        const char descriptor = format_[pos_++];
        switch (descriptor) {
            case 'X':
                if (!counted || op.repeat == 0) bad_format(format_, op.at, "X needs a positive count");
                op.kind = FormatOp::Kind::Skip;
                return op;
            case 'F':
                op.kind = FormatOp::Kind::Fixed;
                op.width = number(end);
                if (pos_ >= end || format_[pos_] != '.') bad_format(format_, op.at, "F needs w.d");
                ++pos_;
                op.decimals = number(end);
                if (op.width == 0 || op.repeat == 0) bad_format(format_, op.at, "zero width or count");
                return op;
            case 'I':
                op.kind = FormatOp::Kind::Integer;
                op.width = number(end);
                if (op.width == 0 || op.repeat == 0) bad_format(format_, op.at, "zero width or count");
                return op;
            case 'A':
                op.kind = FormatOp::Kind::Alpha;
                op.sized = pos_ < end && format_[pos_] >= '0' && format_[pos_] <= '9';
                op.width = op.sized ? number(end) : 0;
                if ((op.sized && op.width == 0) || op.repeat == 0) bad_format(format_, op.at, "zero width or count");
                return op;
            default:
                bad_format(format_, op.at, std::string("unknown descriptor '") + descriptor + "'");
        }
    }

    // Applies one parsed item to the record; false when a value descriptor
    // finds no value left, which ends the statement.
    bool execute(const FormatOp& op, const std::string& texts)
    {
        switch (op.kind) {
            case FormatOp::Kind::Text:
                record_.put(std::string_view(texts).substr(op.text_begin, op.text_end - op.text_begin));
                return true;
            case FormatOp::Kind::Skip:
                record_.pending += op.repeat;
                return true;
            case FormatOp::Kind::Slash:
                record_.end_record();
                return true;
            case FormatOp::Kind::Fixed:
                for (int i = 0; i < op.repeat; ++i) {
                    if (next_ >= count_) return false;
                    const double x = take(Item::Kind::Double, op.at).real();
                    char text[detail::FAST_FIXED_CHARS];
                    if (const std::size_t n = detail::fast_fixed_text(x, op.decimals, text)) {
                        record_.field(std::string_view(text + sizeof text - n, n), op.width);
                    } else {
                        record_.put(render_fixed_field(x, op.width, op.decimals));  // exactly `width` characters
                    }
                }
                return true;
            case FormatOp::Kind::Integer:
                for (int i = 0; i < op.repeat; ++i) {
                    if (next_ >= count_) return false;
                    char digits[12];
                    const auto [last, ec] =
                        std::to_chars(digits, digits + sizeof digits, take(Item::Kind::Integer, op.at).integer());
                    record_.field(std::string_view(digits, static_cast<std::size_t>(last - digits)), op.width);
                }
                return true;
            case FormatOp::Kind::Alpha:
                for (int i = 0; i < op.repeat; ++i) {
                    if (next_ >= count_) return false;
                    std::string_view text = take(Item::Kind::Text, op.at).text();
                    if (!op.sized) {
                        record_.put(text);
                    } else if (text.size() < static_cast<std::size_t>(op.width)) {
                        record_.pending += op.width - static_cast<long>(text.size());
                        record_.put(text);
                    } else {
                        record_.put(text.substr(0, static_cast<std::size_t>(op.width)));
                    }
                }
                return true;
        }
        return true;
    }

    std::string_view format_;
    const Item* values_;
    std::size_t count_;
    std::size_t next_ = 0;
    std::size_t pos_ = 0;
    RecordBuilder record_;
    std::vector<FormatOp> ops_;  // the items parsed so far, for the cache
    std::string texts_;          // the characters of their texts
};

}  // namespace

void FMTWRITE(int unit, std::string_view format, std::initializer_list<Item> values)
{
    detail::Layer& L = detail::layer();
    FormatWalker(format, values, L.statement, L.record_ends).run(L.format_cache);
    std::size_t begin = 0;
    for (const std::size_t end : L.record_ends) {
        detail::emit_record(unit, std::string_view(L.statement).substr(begin, end - begin));
        begin = end;
    }
}

}  // namespace textio
