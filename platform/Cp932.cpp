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

} // namespace

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

QByteArray encode(const QString& text, bool* ok) {
    QStringEncoder encoder("CP932", QStringConverter::Flag::Stateless);
    const QString mapped = toCp932Forms(text);
    QByteArray bytes = encoder.encode(mapped);
    const bool failed = encoder.hasError() || !encoder.isValid();
    if (ok)
        *ok = !failed;
    return bytes;
}

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder("CP932", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

bool isValid(const QByteArray& bytes) {
    QStringDecoder decoder("CP932", QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError() && !text.contains(QChar::ReplacementCharacter);
}

int truncatedLength(const QByteArray& bytes, int maxBytes) {
    if (bytes.size() <= maxBytes)
        return int(bytes.size());
    int i = 0;
    while (i < maxBytes) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const int width = (isLeadByte(b) && i + 1 < bytes.size() &&
                           isTrailByte(static_cast<unsigned char>(bytes[i + 1])))
                              ? 2
                              : 1;
        if (i + width > maxBytes)
            break;
        i += width;
    }
    return i;
}

} // namespace Cp932
