// Texts of core that the windows show translated: the marker lupdate reads and the template filler.
#pragma once

#include <initializer_list>
#include <string>

// Marks an English text of core for translation in the context "Core"; the text itself is unchanged.
// The same definition as Qt's, so a unit that includes both compiles.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

// Translates a core text template (Windows-1252 bytes out). The program installs one at start; without
// one (the companion, core tests) a template stays English.
using TTextTranslator = std::string (*)(const char* text);
void SetTextTranslator(TTextTranslator translator);
std::string TranslatedText(const char* text);

// The pattern with %1, %2, ... replaced by the values; a value is never scanned for markers.
std::string Substitute(const std::string& pattern, std::initializer_list<std::string> values);

// A message from a marked template: the template is translated first, then %1, %2, ... are replaced by
// the values, so a translation may put them in another order. A value is never scanned for markers.
std::string FillText(const char* text, std::initializer_list<std::string> values);
template <typename... TValues> std::string Fill(const char* text, const TValues&... values) {
    return FillText(text, {std::string(values)...});
}
