// SHA-256 digests, for the provenance of every output file: the checksum of
// the coefficient file a result was computed from.
#pragma once

#include <string>
#include <string_view>

#include "arven/error.hpp"

namespace arven {

// The SHA-256 digest of `bytes` as 64 lower-case hexadecimal digits.
std::string sha256_hex(std::string_view bytes);

// The SHA-256 digest of the whole file `path`, as above.  Throws arven::Error
// when the file cannot be read.
std::string sha256_file_hex(const std::string& path);

}  // namespace arven
