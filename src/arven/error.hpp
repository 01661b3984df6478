// The one kind of failure the field-work routines report: a message for a
// person, one line, saying what was expected and what was found.
#pragma once

#include <stdexcept>
#include <string>

namespace arven {

struct Error : std::runtime_error {
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace arven
