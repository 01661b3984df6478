// Free-form (list-directed) writes: text items at their length, doubles in
// fields of 24 columns (25 after an earlier number), one leading blank.
#include "textio/layer.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace textio {

namespace {

constexpr int NUMBER_FIELD = 24;
constexpr int FREE_FORM_DIGITS = 16;  // significant digits of a free-form double
constexpr int FREE_FORM_DECIMALS = 15;

// The free-form text of a double: fixed-point with 15 decimals when
// 1 <= |x| < 10^7 once rounded to 16 digits, otherwise d.ddd...E+ddd.
std::string free_form_number(double x)
{
    if (!std::isfinite(x)) return render_fixed_field(x, NUMBER_FIELD, FREE_FORM_DECIMALS);
    detail::Digits d = detail::decimal_digits(x);
    const bool zero = d.digit[0] == '0';
    if (!zero) detail::round_digits(d, FREE_FORM_DIGITS);
    auto digit_at = [&](int i) { return i < d.count ? d.digit[i] : '0'; };
    std::string text;
    if (!zero && std::signbit(x)) text.push_back('-');
    if (!zero && d.exponent >= 1 && d.exponent <= 7) {
        for (int i = 0; i < d.exponent; ++i) text.push_back(digit_at(i));
        text.push_back('.');
        for (int i = d.exponent; i < d.exponent + FREE_FORM_DECIMALS; ++i) text.push_back(digit_at(i));
        return text;
    }
    text.push_back(digit_at(0));
    text.push_back('.');
    for (int i = 1; i < FREE_FORM_DIGITS; ++i) text.push_back(digit_at(i));
    const int exponent = zero ? 0 : d.exponent - 1;
    text.push_back('E');
    text.push_back(exponent < 0 ? '-' : '+');
    std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
    if (magnitude.size() < 3) text.append(3 - magnitude.size(), '0');
    text.append(magnitude);
    return text;
}

}  // namespace

void LSTWRITE(int unit, std::initializer_list<Item> values)
{
    if (values.size() == 0) {
        detail::emit_record(unit, " ");
        return;
    }
    std::vector<std::string> records;
    std::string record;
    long pending = 1;
    bool number_written = false;
    // Output that would pass the last column continues in a new record, which
    // again starts with one pending blank.
    auto make_room = [&](std::size_t columns) {
        if (record.size() > 1 && record.size() + static_cast<std::size_t>(pending) + columns >
                                     static_cast<std::size_t>(detail::FREE_FORM_LINE_LIMIT)) {
            records.push_back(std::move(record));
            record.clear();
            pending = 1;
            number_written = false;
        }
    };
    auto put = [&](std::string_view text) {
        record.append(static_cast<std::size_t>(pending), ' ');
        pending = 0;
        record.append(text);
    };
    for (const Item& value : values) {
        switch (value.kind()) {
            case Item::Kind::Text:
                if (pending != 1) pending = 0;
                make_room(value.text().size());
                put(value.text());
                break;
            case Item::Kind::Double: {
                const std::string text = free_form_number(value.real());
                make_room(std::max(text.size(), static_cast<std::size_t>(NUMBER_FIELD + (number_written ? 1 : 0))));
                const long width = NUMBER_FIELD + (number_written ? 1 : 0);
                if (static_cast<long>(text.size()) < width) pending += width - static_cast<long>(text.size());
                put(text);
                number_written = true;
                break;
            }
            case Item::Kind::Integer:
                throw std::logic_error("record layer: LSTWRITE takes text items and doubles only");
        }
    }
    records.push_back(std::move(record));
    for (const std::string& r : records) detail::emit_record(unit, r);
}

}  // namespace textio
