#include "Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Cp932 {
namespace {

struct FormMapping {
    char16_t from;
    char16_t to;
};

// ICU's CP932 converter refuses these code points; Windows maps them to the forms on the right.
constexpr FormMapping kCp932Forms[] = {
    {0x301C, 0xFF5E}, // WAVE DASH -> FULLWIDTH TILDE
    {0x2212, 0xFF0D}, // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    {0x2016, 0x2225}, // DOUBLE VERTICAL LINE -> PARALLEL TO
    {0x2014, 0x2015}, // EM DASH -> HORIZONTAL BAR
    {0x00A2, 0xFFE0}, // CENT SIGN -> FULLWIDTH CENT SIGN
    {0x00A3, 0xFFE1}, // POUND SIGN -> FULLWIDTH POUND SIGN
    {0x00AC, 0xFFE2}, // NOT SIGN -> FULLWIDTH NOT SIGN
};

QString toCp932Forms(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        for (const FormMapping& m : kCp932Forms) {
            if (c.unicode() == m.from) {
                c = QChar(m.to);
                break;
            }
        }
    }
    return out;
}

bool isTrailByte(unsigned char b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// A fresh converter for every conversion: a reset converter of this Qt keeps the error count of
// its last use and loses its replacement character.
QStringEncoder encoder() {
    return QStringEncoder("CP932", QStringConverter::Flag::Stateless);
}

QStringDecoder decoder() {
    return QStringDecoder("CP932", QStringConverter::Flag::Stateless);
}

} // namespace

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

namespace {

// 2 for a lead byte followed by a trail byte, else 1.
int characterWidth(const QByteArray& bytes, qsizetype i) {
    return (isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() &&
            isTrailByte(static_cast<unsigned char>(bytes[i + 1])))
               ? 2
               : 1;
}

} // namespace

QByteArray encode(const QString& text, bool* ok) {
    QStringEncoder converter = encoder();
    QByteArray bytes = converter.encode(toCp932Forms(text));
    const bool failed = converter.hasError() || !converter.isValid();
    if (ok)
        *ok = !failed;
    return bytes;
}

QString decode(const QByteArray& bytes) {
    QStringDecoder converter = decoder();
    const QString text = converter.decode(bytes);
    if (!converter.hasError())
        return text;
    // The converter drops a lone lead byte at the end and turns some bytes into U+001A: decode
    // character by character so every bad one shows as U+FFFD and none goes missing.
    QString out;
    for (qsizetype i = 0; i < bytes.size();) {
        const int width = characterWidth(bytes, i);
        QStringDecoder one = decoder();
        const QString c = one.decode(bytes.mid(i, width));
        out += (one.hasError() || c.isEmpty()) ? QString(QChar::ReplacementCharacter) : c;
        i += width;
    }
    return out;
}

bool isValid(const QByteArray& bytes) {
    QStringDecoder converter = decoder();
    const QString text = converter.decode(bytes);
    return !converter.hasError() && !text.contains(QChar::ReplacementCharacter);
}

int truncatedLength(const QByteArray& bytes, int maxBytes) {
    if (bytes.size() <= maxBytes)
        return int(bytes.size());
    int i = 0;
    while (i < maxBytes) {
        const int width = characterWidth(bytes, i);
        if (i + width > maxBytes)
            break;
        i += width;
    }
    return i;
}

} // namespace Cp932
