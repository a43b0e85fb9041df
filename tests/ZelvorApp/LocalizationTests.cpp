#include "ZelvorApp/Editor/ScreenshotEditorError.h"
#include "ZelvorApp/Infrastructure/LocalizationCatalog.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/StringsTableParser.h"

#include "Platform/Fake/TemporaryPaths.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace brisklet {
namespace {

const char* const tableIds[] = {"en", "zh-Hans", "zh-Hant", "ja", "ko", "fr", "de", "es", "bo"};

StringsTable shippedTable(const std::string& id) {
    std::ifstream in(std::filesystem::path(BRISKLET_TEST_RESOURCES_DIR) / (id + ".lproj") / "Localizable.strings");
    std::stringstream s;
    s << in.rdbuf();
    std::string error;
    auto table = parseStringsTable(s.str(), &error);
    EXPECT_TRUE(table) << id << ": " << error;
    return table.value_or(StringsTable{});
}

TEST(ShippedStringTables, EveryKeyHasATextWithTheSamePlaceholdersInEveryLanguage) {
    const StringsTable english = shippedTable("en");
    for (const char* id : tableIds) {
        const StringsTable table = shippedTable(id);
        for (const L10nKey key : allL10nKeys()) {
            const auto it = table.find(rawValue(key));
            ASSERT_TRUE(it != table.end() && !it->second.empty()) << id << " lacks " << rawValue(key);
            EXPECT_EQ(formatConversions(it->second), formatConversions(english.at(std::string(rawValue(key)))))
                << id << " " << rawValue(key);
        }
        for (const auto& [key, text] : table) {
            EXPECT_TRUE(l10nKeyFromRawValue(key)) << id << " has unknown key " << key;
        }
    }
}

TEST(LanguageResolution, PreferredTagsPickTheFirstSupportedLanguage) {
    using T = std::vector<std::string>;
    EXPECT_EQ(LocalizationStore::resolve(AppLanguage::system, T{"en-US", "ja-JP"}), AppLanguage::japanese);
    EXPECT_EQ(LocalizationStore::resolve(AppLanguage::system, T{"en-GB"}), AppLanguage::english);
    EXPECT_EQ(LocalizationStore::resolve(AppLanguage::system, T{"zh-HK"}), AppLanguage::traditionalChinese);
    EXPECT_EQ(LocalizationStore::resolve(AppLanguage::system, T{"zh-Hant-TW"}), AppLanguage::traditionalChinese);
    EXPECT_EQ(LocalizationStore::resolve(AppLanguage::system, T{"zh-SG"}), AppLanguage::simplifiedChinese);
    EXPECT_EQ(LocalizationStore::resolve(AppLanguage::system, T{"pt-BR", "BO-CN"}), AppLanguage::tibetan);
    EXPECT_EQ(LocalizationStore::resolve(AppLanguage::system, T{}), AppLanguage::english);
    EXPECT_EQ(LocalizationStore::resolve(AppLanguage::korean, T{"de-DE"}), AppLanguage::korean);
}

TEST(LanguageResolution, DesktopLocaleVariablesBecomeTags) {
    setenv("LANGUAGE", "fr_CA:de", 1);
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(LocalizationStore::desktopPreferredLanguages(), (std::vector<std::string>{"fr-CA", "de", "ja-JP"}));
    unsetenv("LANGUAGE");
    setenv("LC_ALL", "C", 1);
    EXPECT_TRUE(LocalizationStore::desktopPreferredLanguages().empty());
    unsetenv("LC_ALL");
}

class CatalogFallbackTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    void SetUp() override {
        write("en", R"("genericCancel" = "Cancel";
"genericClose" = "Close";
)");
        write("de", R"(/* only one usable key */
"genericCancel" = "Abbrechen";
"genericClose" = "";
)");
        LocalizationCatalog::setResourceDirectories({paths.root()});
    }
    void TearDown() override { LocalizationCatalog::setResourceDirectories({BRISKLET_TEST_RESOURCES_DIR}); }
    void write(const std::string& id, const std::string& text) {
        std::filesystem::create_directories(paths.root() / (id + ".lproj"));
        std::ofstream(paths.root() / (id + ".lproj") / "Localizable.strings") << text;
    }
};

TEST_F(CatalogFallbackTest, LanguageThenEnglishThenTheKeyItself) {
    EXPECT_EQ(LocalizationCatalog::text(L10nKey::genericCancel, AppLanguage::german), "Abbrechen");
    EXPECT_EQ(LocalizationCatalog::text(L10nKey::genericClose, AppLanguage::german), "Close")
        << "empty text falls back";
    EXPECT_EQ(LocalizationCatalog::text(L10nKey::settingsWindowTitle, AppLanguage::german), "settingsWindowTitle");
    EXPECT_EQ(LocalizationCatalog::text(L10nKey::genericCancel, AppLanguage::system), "Cancel");
    EXPECT_EQ(LocalizationCatalog::text(L10nKey::genericCancel, AppLanguage::french), "Cancel") << "no French table";
}

TEST(LocalizationStoreTest, NotifiesOnlyOnRealChangesAndFormats) {
    LocalizationCatalog::setResourceDirectories({BRISKLET_TEST_RESOURCES_DIR});
    std::vector<std::string> tags{"en-US"};
    LocalizationStore store([&] { return tags; });
    int notifications = 0;
    store.addObserver([&](const LocalizationStore&) { ++notifications; });
    store.apply(AppLanguage::system);
    EXPECT_EQ(notifications, 0) << "system resolving to English again is no change";
    store.apply(AppLanguage::japanese);
    store.apply(AppLanguage::japanese);
    EXPECT_EQ(notifications, 1);
    tags = {"ja"};
    store.apply(AppLanguage::system); // preference changed, resolution did not
    EXPECT_EQ(notifications, 2);
    EXPECT_EQ(store.resolvedAppLanguage(), AppLanguage::japanese);

    EXPECT_EQ(store.appLanguageDisplayName(AppLanguage::korean), "한국어");
    EXPECT_EQ(store.appLanguageDisplayName(AppLanguage::system), store.text(L10nKey::settingsLanguageFollowSystem));
    EXPECT_EQ(store.translationLanguageDisplayName(TranslationTargetLanguage::german), "Deutsch");
    EXPECT_EQ(localizedErrorMessage(ScreenshotEditorError::encodeFailed, store),
              store.text(L10nKey::errorEditorEncodeFailed));
}

TEST(TextFormatting, PrintfStyleWithoutUndefinedBehaviour) {
    EXPECT_EQ(formatText("%d of %s at %.1f%%", {3, "ten", 2.25}), "3 of ten at 2.2%");
    EXPECT_EQ(formatText("%2$s, %1$s", {"world", "hello"}), "hello, world");
    EXPECT_EQ(formatText("%s and %d", {"only one"}), "only one and ") << "missing arguments print nothing";
    EXPECT_EQ(formatText("%d", {"not a number"}), "not a number");
    EXPECT_EQ(formatText("%05d|%-4s|%@", {42, "ab", "obj"}), "00042|ab  |obj");
    EXPECT_EQ(formatText("100%% sure, 5%", {}), "100% sure, 5%") << "a lone trailing percent sign stays";
    EXPECT_EQ(formatConversions("%2$s %1$ld %%"), (std::vector<std::string>{"d", "s"}));
}

TEST(StringsTableParsing, EscapesCommentsAndDamage) {
    const auto table =
        parseStringsTable("\xEF\xBB\xBF// c\n/* block\n*/ \"a\" = \"say \\\"hi\\\"\\n\\U00e9\";\n\"b\"=\"\\\\\";");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->at("a"), "say \"hi\"\n\xC3\xA9");
    EXPECT_EQ(table->at("b"), "\\");
    std::string error;
    EXPECT_FALSE(parseStringsTable("\"a\" = \"x\";\n\"b\" = \"unterminated;", &error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
    EXPECT_FALSE(parseStringsTable("\"a\" \"x\";"));
}

} // namespace
} // namespace brisklet
