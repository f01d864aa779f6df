#include "shell/ShellText.h"

#include "core/base/TextUtils.h"

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t follow = 0;
        uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            follow = 1;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            follow = 2;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            follow = 3;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + follow >= text.size()) {
            return false;
        }
        for (size_t k = 1; k <= follow; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        static constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[follow] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += follow + 1;
    }
    return true;
}

QString ToDisplayText(const std::string& text) {
    if (IsValidUtf8(text)) {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    const std::string utf8 = Cp1252ToUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ToMessageText(const std::string& text) {
    QString result = ToDisplayText(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

std::string FromDisplayText(const QString& text) {
    return text.toUtf8().toStdString();
}
