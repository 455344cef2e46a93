// Argon2id hashes: only the hashed password verifies, and nothing that is not one of our hashes.
#include "auth/PasswordHash.h"

#include <gtest/gtest.h>

namespace appserver {
namespace {

using namespace std::string_literals;

TEST(PasswordHash, OnlyTheHashedPasswordVerifies) {
    const std::string hash = hashPassword("Senha forte, ç!");
    const std::string withNul = hashPassword("abc\0def"s);
    ASSERT_TRUE(hash.starts_with("$argon2id$")) << hash;
    ASSERT_FALSE(withNul.empty());
    struct Case {
        std::string stored, password;
        bool verifies;
    };
    const Case cases[] = {
        {hash, "Senha forte, ç!", true},
        {hash, "Senha forte, ç", false},
        {hash, "senha forte, ç!", false},
        {hash, "", false},
        // The whole password counts, past a NUL too.
        {withNul, "abc\0def"s, true},
        {withNul, "abc", false},
        {withNul, "abc\0deg"s, false},
        // Not a hash of ours: never an error, never a match.
        {"", "", false},
        {"Senha forte, ç!", "Senha forte, ç!", false},
        {hash.substr(0, hash.size() - 1), "Senha forte, ç!", false},
        {hash + "\0"s, "Senha forte, ç!", false},
        {hash + std::string(200, 'A'), "Senha forte, ç!", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(verifyPassword(c.stored, c.password), c.verifies)
            << "[" << c.stored << "] [" << c.password << "]";
}

TEST(PasswordHash, EachHashHasItsOwnSalt) {
    const std::string a = hashPassword("igual"), b = hashPassword("igual");
    EXPECT_NE(a, b);
    EXPECT_TRUE(verifyPassword(a, "igual"));
    EXPECT_TRUE(verifyPassword(b, "igual"));
}

}  // namespace
}  // namespace appserver
