// Password hashes with libsodium's password hashing (Argon2id, string form with salt and limits).
#include "localdb/catalog/passwords.h"

#include "localdb/system/errors.h"

#include <sodium.h>

namespace localdb {
namespace {

std::string folded(const std::string &password) {
    std::string out = password;
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

void initialise() {
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        raise(600, -1, {"sodium_init"});
}

// Interactive limits with a smaller memory cost: a login stays well under a tenth of a second.
constexpr unsigned long long kOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr size_t kMemLimit = 16u * 1024u * 1024u;

}  // namespace

std::string hashPassword(const std::string &password) {
    initialise();
    std::string p = folded(password);
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, p.data(), p.size(), kOpsLimit, kMemLimit) != 0)
        raise(600, -1, {"crypto_pwhash_str"});
    return out;
}

bool verifyPassword(const std::string &hash, const std::string &password) {
    initialise();
    if (hash.empty())
        return false;
    std::string p = folded(password);
    return crypto_pwhash_str_verify(hash.c_str(), p.data(), p.size()) == 0;
}

}  // namespace localdb
