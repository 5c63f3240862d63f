#include "OrdenEspanol.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QVarLengthArray>
#include <array>
#include <cstring>

namespace {

using Utf16 = QVarLengthArray<char16_t, 128>;

// The UTF-8 text as UTF-16 in out, when it holds characters of one or two
// bytes only (every Spanish text); false otherwise.
bool aUtf16(const unsigned char *p, int n, Utf16 &out)
{
    out.resize(n);
    char16_t *d = out.data();
    for (int i = 0; i < n;) {
        const unsigned c = p[i];
        if (c < 0x80) {
            *d++ = static_cast<char16_t>(c);
            ++i;
        } else if (c >= 0xC2 && c < 0xE0 && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
            *d++ = static_cast<char16_t>(((c & 0x1F) << 6) | (p[i + 1] & 0x3F));
            i += 2;
        } else {
            return false;
        }
    }
    out.resize(d - out.data());
    return true;
}

// The place in Spanish order of a space (first) and of the ASCII letters,
// either case; 0 for every other byte.
constexpr std::array<unsigned char, 256> kPesoAscii = [] {
    std::array<unsigned char, 256> t{};
    t[' '] = 1;
    for (int c = 0; c < 26; ++c) {
        t['a' + c] = static_cast<unsigned char>(c + 2);
        t['A' + c] = static_cast<unsigned char>(c + 2);
    }
    return t;
}();

// A character that cannot join the one before it: the end, an ASCII one or
// a precomposed Latin-1 letter (a combining accent could).
bool sinAcento(const unsigned char *p, int n, int i) { return i >= n || p[i] < 0x80 || p[i] == 0xC3; }

// Texts equal byte for byte, but for the case of ASCII letters, up to where
// both have a different ASCII letter or a space, each standing alone, are
// ordered by those two: case counts only between texts equal otherwise.
// This settles most comparisons of names without the collator; 0 when it
// cannot tell.
int compararAscii(const unsigned char *a, int n1, const unsigned char *b, int n2)
{
    const int n = n1 < n2 ? n1 : n2;
    int i = 0;
    while (i < n && (a[i] == b[i] || (kPesoAscii[a[i]] != 0 && kPesoAscii[a[i]] == kPesoAscii[b[i]])))
        ++i;
    if (i == n)
        return 0;
    const int pa = kPesoAscii[a[i]];
    const int pb = kPesoAscii[b[i]];
    if (pa == 0 || pb == 0 || !sinAcento(a, n1, i + 1) || !sinAcento(b, n2, i + 1))
        return 0;
    return pa < pb ? -1 : 1;
}

} // namespace

// Spanish order, then the UTF-16 code units (so that only equal texts
// compare equal). A sort calls it many times per row: equal texts are told
// at once, most pairs of names by their first differing ASCII letters, and
// the others are compared from buffers kept between calls instead of two
// new strings each time.
int compararEs(void *, int n1, const void *s1, int n2, const void *s2)
{
    static thread_local QCollator col(QLocale(QLocale::Spanish, QLocale::Spain));
    static thread_local Utf16 x;
    static thread_local Utf16 y;
    const auto *a = static_cast<const unsigned char *>(s1);
    const auto *b = static_cast<const unsigned char *>(s2);
    if (n1 == n2 && std::memcmp(a, b, static_cast<size_t>(n1)) == 0)
        return 0;
    if (const int r = compararAscii(a, n1, b, n2))
        return r;
    if (aUtf16(a, n1, x) && aUtf16(b, n2, y)) {
        const QStringView va(x.data(), x.size());
        const QStringView vb(y.data(), y.size());
        const int r = col.compare(va, vb);
        return r != 0 ? r : va.compare(vb);
    }
    const QString qa = QString::fromUtf8(reinterpret_cast<const char *>(a), n1);
    const QString qb = QString::fromUtf8(reinterpret_cast<const char *>(b), n2);
    const int r = col.compare(qa, qb);
    return r != 0 ? r : qa.compare(qb);
}
