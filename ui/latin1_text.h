#pragma once
// Texts cross between widgets and the design record as Latin-1, one byte per
// character, so the record's fixed widths always cut whole characters.
// Characters outside Latin-1 become '?'.

#include <QString>

#include <string>
#include <string_view>

namespace sorrel::ui {

inline QString to_qstring(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string to_latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

} // namespace sorrel::ui
