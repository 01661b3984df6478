// The checksum of the provenance header, against the standard's test vectors
// (one block, the two-block padding case) and the bundled file's published sum.
#include <gtest/gtest.h>

#include <string>

#include "arven/sha256.hpp"

TEST(Sha256, StandardVectorsAndTheBundledFile) {
    EXPECT_EQ(arven::sha256_hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(arven::sha256_hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(arven::sha256_hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(arven::sha256_hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_EQ(arven::sha256_file_hex(ARVEN_BUNDLED_COEF),
              "3e732c1360153fd6b11bd0fc34fa4e8527f36b614717c0324540f38913365e39");
    EXPECT_THROW(arven::sha256_file_hex("/nonexistent/arven/file"), arven::Error);
}
