// Core's message templates: translated before their values are filled in, English without a translator.
#include <gtest/gtest.h>

#include "UTexts.h"

namespace {
// A translator as the program installs one: it knows one template and reorders its values.
std::string Reordering(const char* text) {
    if (std::string(text) == "Cannot move %1 to %2: %3") return "%3: %1 -> %2 nicht verschoben";
    return text;
}

struct TTranslatorScope {
    explicit TTranslatorScope(TTextTranslator t) { SetTextTranslator(t); }
    ~TTranslatorScope() { SetTextTranslator(nullptr); }
};
} // namespace

TEST(Texts, TemplatesStayEnglishWithoutTranslator) {
    EXPECT_EQ(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), "/d/Varnholt.qcf", std::string("denied")),
              "Cannot read /d/Varnholt.qcf: denied");
    // A marker without a value, a lone percent sign and %0 are left as they stand.
    EXPECT_EQ(Fill("%1 of %2 at 95 % (%0)", "3"), "3 of %2 at 95 % (%0)");
}

TEST(Texts, TranslationComesBeforeTheValues) {
    TTranslatorScope scope(Reordering);
    EXPECT_EQ(Fill(QT_TRANSLATE_NOOP("Core", "Cannot move %1 to %2: %3"), "a", "b", "full"),
              "full: a -> b nicht verschoben");
    // A value holding a marker is not filled again, and an unknown template stays as it is.
    EXPECT_EQ(Fill(QT_TRANSLATE_NOOP("Core", "Cannot move %1 to %2: %3"), "%2", "x", "%1"),
              "%1: %2 -> x nicht verschoben");
    EXPECT_EQ(Fill("No mapping for %1", "ALB"), "No mapping for ALB");
}
