// Texts of core that the windows show translated.
#include "UTexts.h"

namespace {
TTextTranslator Translator = nullptr;
}

void SetTextTranslator(TTextTranslator translator) {
    Translator = translator;
}

std::string TranslatedText(const char* text) {
    return Translator ? Translator(text) : std::string(text);
}

std::string FillText(const char* text, std::initializer_list<std::string> values) {
    return Substitute(TranslatedText(text), values);
}

std::string Substitute(const std::string& pattern, std::initializer_list<std::string> values) {
    std::string out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < values.size()) {
                out += values.begin()[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}
