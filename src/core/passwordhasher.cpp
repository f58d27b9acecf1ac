#include "passwordhasher.h"

#include <QByteArray>
#include <sodium.h>

namespace {

// OWASP's minimum for Argon2id: 19 MiB and two passes. A login stays well under a second.
constexpr unsigned long long kOpsLimit = 2;
constexpr size_t kMemLimit = 19u * 1024u * 1024u;
constexpr char kPrefix[] = "$argon2id$";

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

QString PasswordHasher::hash(const QString &password)
{
    if (!sodiumReady())
        return {};
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
            kOpsLimit, kMemLimit, crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        return {};
    return QString::fromLatin1(out);
}

bool PasswordHasher::verify(const QString &encodedHash, const QString &password)
{
    if (!sodiumReady() || !isHash(encodedHash))
        return false;
    const QByteArray stored = encodedHash.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(
               stored.constData(), utf8.constData(), static_cast<unsigned long long>(utf8.size()))
        == 0;
}

bool PasswordHasher::isHash(const QString &stored)
{
    return stored.startsWith(QLatin1String(kPrefix))
        && stored.size() < static_cast<int>(crypto_pwhash_STRBYTES);
}

const QString &PasswordHasher::dummyHash()
{
    static const QString dummy = [] {
        if (!sodiumReady())
            return QString();
        unsigned char secret[32];
        randombytes_buf(secret, sizeof secret);
        return hash(QString::fromLatin1(
            QByteArray(reinterpret_cast<const char *>(secret), sizeof secret).toHex()));
    }();
    return dummy;
}
