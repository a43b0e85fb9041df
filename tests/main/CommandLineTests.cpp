#include "main/CommandLine.h"
#include "main/CommandLineUsage.h"

#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/System/JsonFileDefaultsStore.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorApp/Infrastructure/LocalizationCatalog.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace brisklet {
namespace {

CommandLine parse(std::vector<std::string> args) {
    args.insert(args.begin(), "brisklet");
    std::vector<const char*> argv;
    for (const auto& arg : args) {
        argv.push_back(arg.c_str());
    }
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

struct Answer {
    std::optional<int> status;
    std::string out;
    std::string err;
};

Answer answer(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const auto status = answerWithoutCommand(parse(args), out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

std::vector<L10nKey> usageKeys() {
    std::vector<L10nKey> keys;
    for (const L10nKey key : allL10nKeys()) {
        if (rawValue(key).starts_with("cliUsage")) {
            keys.push_back(key);
        }
    }
    return keys;
}

/// The key's text as the usage prints it (the --language line names the codes).
std::string usageLineText(L10nKey key, AppLanguage language) {
    std::string text = LocalizationCatalog::text(key, language);
    if (const auto at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, commandLineLanguageCodes());
    }
    return text;
}

/// Sets one environment variable for the test's duration and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(CommandLineUsage, EveryDescriptionIsInTheChosenLanguageAndTheCommandsStayAsTyped) {
    const std::string english = usageText(AppLanguage::english);
    for (const AppLanguage language : {AppLanguage::japanese, AppLanguage::german}) {
        const std::string usage = usageText(language);
        EXPECT_NE(usage, english);
        for (const L10nKey key : usageKeys()) {
            const std::string translated = usageLineText(key, language);
            const std::string original = usageLineText(key, AppLanguage::english);
            ASSERT_NE(translated, std::string(rawValue(key))) << rawValue(key) << " has no text";
            for (const std::string& line : lines(translated)) {
                EXPECT_NE(usage.find(line), std::string::npos) << toString(language) << " lacks: " << line;
            }
            if (translated != original) {
                EXPECT_EQ(usage.find(lines(original).front()), std::string::npos)
                    << toString(language) << " still says: " << lines(original).front();
            }
        }
        for (const char* form : {"  prefs export FILE", "  capture window ID [-o FILE.png]", "  --language CODE",
                                 "  -h, --help", " brisklet [OPTIONS] [COMMAND]"}) {
            EXPECT_NE(usage.find(form), std::string::npos) << toString(language) << " lacks " << form;
        }
    }
}

TEST(CommandLineUsage, DescriptionsLineUpInOneColumnWhateverTheirLength) {
    const auto usage = lines(usageText(AppLanguage::english));
    const auto description = [](L10nKey key) { return lines(LocalizationCatalog::text(key, AppLanguage::english)); };
    const std::vector<std::string> show = description(L10nKey::cliUsagePrefsShow);
    const auto showLine = std::find_if(usage.begin(), usage.end(),
                                       [](const std::string& line) { return line.starts_with("  prefs show "); });
    ASSERT_NE(showLine, usage.end());
    EXPECT_EQ(showLine->substr(23), show.front());
    // A form too long to share its line puts every line of the description under the column.
    const std::vector<std::string> capture = description(L10nKey::cliUsageCapture);
    ASSERT_GE(capture.size(), 2u);
    const auto captureLine = std::find(usage.begin(), usage.end(), std::string(23, ' ') + capture.front());
    ASSERT_NE(captureLine, usage.end());
    EXPECT_EQ(*(captureLine - 1), "  capture window ID [-o FILE.png]");
    EXPECT_EQ(*(captureLine + 1), std::string(23, ' ') + capture[1]);
}

TEST(CommandLineLanguage, TakesTheInterfaceLanguagesCodesAndRefusesAnyOther) {
    EXPECT_EQ(parse({"--language", "ja", "--help"}).language, AppLanguage::japanese);
    EXPECT_EQ(parse({"--language=zh-hans"}).language, AppLanguage::simplifiedChinese);
    EXPECT_EQ(parse({"--language", "bo"}).language, AppLanguage::tibetan);
    EXPECT_FALSE(parse({"ocr", "--language", "xx"}).error) << "after the command it is the command's argument";

    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"--language", "xx", "--help"}, "xx"}, {{"--language", "system"}, "system"}, {{"--language=ja_JP"}, "ja_JP"}};
    for (const auto& [args, code] : refusals) {
        const Answer refused = answer(args);
        EXPECT_EQ(refused.status, 2);
        EXPECT_TRUE(refused.out.empty());
        EXPECT_NE(refused.err.find("unknown language '" + code + "'"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find(commandLineLanguageCodes()), std::string::npos) << refused.err;
    }
    const Answer missing = answer({"--language"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("--language needs a language code"), std::string::npos) << missing.err;
}

TEST(CommandLineUsage, FollowsTheOptionThenTheStoredLanguageThenTheDesktop) {
    TemporaryPaths paths;
    const std::string configDir = "--config-dir=" + paths.configDirectory().string();
    const ScopedEnvironment language("LANGUAGE", "de_DE");
    const auto heading = [](AppLanguage l) { return LocalizationCatalog::text(L10nKey::cliUsageHeading, l) + " "; };

    EXPECT_TRUE(answer({configDir, "--help"}).out.starts_with(heading(AppLanguage::german)));

    JsonFileDefaultsStore defaults(JsonFileDefaultsStore::defaultFile(paths.configDirectory()));
    AppPreferences preferences;
    preferences.appLanguage = AppLanguage::korean;
    PreferencesStore(defaults).save(preferences);
    EXPECT_TRUE(answer({configDir, "--help"}).out.starts_with(heading(AppLanguage::korean)));

    const Answer chosen = answer({configDir, "--language", "fr", "--help"});
    EXPECT_EQ(chosen.status, 0);
    EXPECT_EQ(chosen.out, usageText(AppLanguage::french));
}

} // namespace
} // namespace brisklet
