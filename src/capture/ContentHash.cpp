// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/ContentHash.h"

#include <QFile>

#include <openssl/evp.h>

#include <memory>

namespace ContentHash {

namespace {

struct DigestContextDeleter
{
    void operator()(EVP_MD_CTX *ctx) const { EVP_MD_CTX_free(ctx); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextDeleter>;

QString toHex(const unsigned char *digest, unsigned int length)
{
    static const char digits[] = "0123456789abcdef";
    QString text(int(length) * 2, Qt::Uninitialized);
    QChar *out = text.data();
    for (unsigned int i = 0; i < length; ++i) {
        *out++ = QLatin1Char(digits[digest[i] >> 4]);
        *out++ = QLatin1Char(digits[digest[i] & 0xf]);
    }
    return text;
}

} // namespace

std::optional<QString> ofFile(const QString &path)
{
    // Streamed in large blocks: a 10 MB capture never sits in memory whole.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return std::nullopt;
    }
    DigestContext ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) {
        return std::nullopt;
    }
    constexpr size_t kBlock = 1 << 20;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kBlock]);
    for (;;) {
        const qint64 n = file.read(reinterpret_cast<char *>(buffer.get()), qint64(kBlock));
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        if (EVP_DigestUpdate(ctx.get(), buffer.get(), size_t(n)) != 1) {
            return std::nullopt;
        }
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1) {
        return std::nullopt;
    }
    return toHex(digest, length);
}

QString ofBytes(const QByteArray &bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &length, EVP_sha256(), nullptr);
    return toHex(digest, length);
}

} // namespace ContentHash
