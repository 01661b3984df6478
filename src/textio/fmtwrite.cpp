// Formatted writes: a small interpreter of the program's format literals.
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

class FormatWalker {
public:
    FormatWalker(std::string_view format, std::initializer_list<Item> values, std::string& text,
                 std::vector<std::size_t>& ends)
        : format_(format), values_(values.begin()), count_(values.size()), record_{text, ends}
    {
        text.clear();
        ends.clear();
    }

    // Builds every record of the statement into the builder's storage.
    void run()
    {
        if (format_.size() < 2 || format_.front() != '(' || format_.back() != ')') {
            bad_format(format_, 0, "not enclosed in parentheses");
        }
        pos_ = 1;
        const std::size_t end = format_.size() - 1;
        bool expect_item = true;  // at the start or after a comma
        while (pos_ < end) {
            const char c = format_[pos_];
            if (c == ' ') {
                ++pos_;
            } else if (c == ',') {
                if (expect_item) bad_format(format_, pos_, "empty item");
                expect_item = true;
                ++pos_;
            } else if (c == '/') {
                record_.end_record();
                ++pos_;
                expect_item = false;
            } else {
                if (!expect_item) bad_format(format_, pos_, "missing comma between items");
                if (!item(end)) break;  // a value descriptor with no value left
                expect_item = false;
            }
        }
        if (next_ < count_) bad_format(format_, pos_, "more values than value descriptors");
        if (expect_item && pos_ >= end && format_.size() > 2 && format_[end - 1] == ',') {
            bad_format(format_, end, "empty item");
        }
        record_.end_record();
    }

private:
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

    // One item at pos_; returns false when a value descriptor finds no value
    // left, which ends the statement.
    bool item(std::size_t end)
    {
        const std::size_t at = pos_;
        if (format_[pos_] == '\'') {
            record_.put({});  // the pending blanks, even before an empty text
            ++pos_;
            for (;;) {
                if (pos_ >= end) bad_format(format_, at, "unterminated text");
                if (format_[pos_] == '\'') {
                    if (pos_ + 1 < end && format_[pos_ + 1] == '\'') {
                        record_.text.push_back('\'');
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                record_.text.push_back(format_[pos_++]);
            }
            return true;
        }
        int repeat = 1;
        const bool counted = format_[pos_] >= '0' && format_[pos_] <= '9';
        if (counted) repeat = number(end);
        if (pos_ >= end) bad_format(format_, at, "descriptor expected");
        const char descriptor = format_[pos_++];
        switch (descriptor) {
            case 'X':
                if (!counted || repeat == 0) bad_format(format_, at, "X needs a positive count");
                record_.pending += repeat;
                return true;
            case 'F': {
                const int width = number(end);
                if (pos_ >= end || format_[pos_] != '.') bad_format(format_, at, "F needs w.d");
                ++pos_;
                const int decimals = number(end);
                if (width == 0 || repeat == 0) bad_format(format_, at, "zero width or count");
                for (int i = 0; i < repeat; ++i) {
                    if (next_ >= count_) return false;
                    const double x = take(Item::Kind::Double, at).real();
                    char text[detail::FAST_FIXED_CHARS];
                    if (const std::size_t n = detail::fast_fixed_text(x, decimals, text)) {
                        record_.field(std::string_view(text + sizeof text - n, n), width);
                    } else {
                        record_.put(render_fixed_field(x, width, decimals));  // exactly `width` characters
                    }
                }
                return true;
            }
            case 'I': {
                const int width = number(end);
                if (width == 0 || repeat == 0) bad_format(format_, at, "zero width or count");
                for (int i = 0; i < repeat; ++i) {
                    if (next_ >= count_) return false;
                    char digits[12];
                    const auto [last, ec] =
                        std::to_chars(digits, digits + sizeof digits, take(Item::Kind::Integer, at).integer());
                    record_.field(std::string_view(digits, static_cast<std::size_t>(last - digits)), width);
                }
                return true;
            }
            case 'A': {
                const bool sized = pos_ < end && format_[pos_] >= '0' && format_[pos_] <= '9';
                const int width = sized ? number(end) : 0;
                if ((sized && width == 0) || repeat == 0) bad_format(format_, at, "zero width or count");
                for (int i = 0; i < repeat; ++i) {
                    if (next_ >= count_) return false;
                    std::string_view text = take(Item::Kind::Text, at).text();
                    if (!sized) {
                        record_.put(text);
                    } else if (text.size() < static_cast<std::size_t>(width)) {
                        record_.pending += width - static_cast<long>(text.size());
                        record_.put(text);
                    } else {
                        record_.put(text.substr(0, static_cast<std::size_t>(width)));
                    }
                }
                return true;
            }
            default:
                bad_format(format_, at, std::string("unknown descriptor '") + descriptor + "'");
        }
    }

    std::string_view format_;
    const Item* values_;
    std::size_t count_;
    std::size_t next_ = 0;
    std::size_t pos_ = 0;
    RecordBuilder record_;
};

}  // namespace

void FMTWRITE(int unit, std::string_view format, std::initializer_list<Item> values)
{
    detail::Layer& L = detail::layer();
    FormatWalker(format, values, L.statement, L.record_ends).run();
    std::size_t begin = 0;
    for (const std::size_t end : L.record_ends) {
        detail::emit_record(unit, std::string_view(L.statement).substr(begin, end - begin));
        begin = end;
    }
}

}  // namespace textio
