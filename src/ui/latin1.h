#pragma once
// The core keeps every text as single-byte characters; Qt keeps UTF-16. The
// window converts at its edge with Latin-1, which maps each byte 00-FF to the
// code point of the same value and back, so no byte is lost on the way.

#include <QString>
#include <string>
#include <string_view>

namespace orvik::ui {

inline QString toQt(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Characters outside Latin-1 (only a user can type them) become '?'.
inline std::string fromQt(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace orvik::ui
