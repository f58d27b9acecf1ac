#pragma once

#include <QString>

// Salted, slow, self-describing password hashes (libsodium's Argon2id).
class PasswordHasher
{
public:
    // The encoded hash, or an empty string when hashing failed (out of memory).
    static QString hash(const QString &password);
    // Constant-time check of a password against an encoded hash; false for anything that is
    // not one of our hashes.
    static bool verify(const QString &encodedHash, const QString &password);
    static bool isHash(const QString &stored);
    // A hash of a random secret with the same parameters: checking a password against it costs
    // what checking a real one does.
    static const QString &dummyHash();
};
