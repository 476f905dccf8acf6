// Password hashing for database users: only salted hashes made by libsodium are stored.
#pragma once

#include <string>

namespace localdb {

// Passwords compare without regard to case, as in the classic releases: both functions
// upper-case the password first.
std::string hashPassword(const std::string &password);
bool verifyPassword(const std::string &hash, const std::string &password);

}  // namespace localdb
