#include <gtest/gtest.h>

#include "core/phrase_file.h"
#include "core/settings_file.h"

namespace {
using Pieces = std::vector<std::string>;
const std::string kHint = "Enter your question for this topic and press 'Ask'";
}  // namespace

TEST(SettingsFile, IsOneLineOfTheSixValuesWithMusicOnlyWhenNotSilence) {
    EXPECT_EQ(settingsText({kHint, "Your Question:", "Ask", "", "", ""}),
              "hint=Enter your question for this topic and press 'Ask'&prompt=Your Question:"
              "&button=Ask&char=&back=&music=");
    EXPECT_EQ(settingsText({kHint, "Your Question:", "Ask", "Anna", "garden.jpg", "Silence"}),
              "hint=Enter your question for this topic and press 'Ask'&prompt=Your Question:"
              "&button=Ask&char=Anna&back=garden.jpg");
    EXPECT_EQ(settingsText({"h", "p", "b", "c", "k", "a.mp3"}),
              "hint=h&prompt=p&button=b&char=c&back=k&music=a.mp3");
    EXPECT_EQ(settingsText({"h", "p", "b", "c", "k", "silence"}),  // compared with case
              "hint=h&prompt=p&button=b&char=c&back=k&music=silence");
    EXPECT_EQ(encodeFileText(settingsText({"Grüß", "€", "", "", "", "Silence"})),
              "hint=Gr\xC3\xBC\xC3\x9F&prompt=\xE2\x82\xAC&button=&char=&back=");
}

TEST(SettingsFile, ReadsPiecesBetweenAmpersandsTrimmedAtTheirEnds) {
    const std::pair<std::string, Pieces> cases[] = {
        {"", {}},
        {"&&hint=x&", {"hint=x"}},
        {"hint=Q&A", {"hint=Q", "A"}},
        {"hint=x&button=Go&prompt=P&button=Ask", {"hint=x", "button=Go", "prompt=P", "button=Ask"}},
        {"hint= lead and trail  &prompt=\r\n b \t", {"hint= lead and trail", "prompt=\r\n b"}},
        {"hint=a\r\nprompt=b", {"hint=a\r\nprompt=b"}},  // line breaks separate nothing
        {" \r\n & \t&", {}},
        {"\xEF\xBB\xBFhint=x", {"\xEF\xBB\xBFhint=x"}},
    };
    for (const auto& [text, pieces] : cases) EXPECT_EQ(settingsPieces(text), pieces) << text;
}

TEST(SettingsFile, KeyIsBeforeTheFirstEqualsSignValueIsTheRest) {
    std::string key, value;
    EXPECT_TRUE(splitSettingsPiece("hint=a=b", key, value));
    EXPECT_EQ(key, "hint");
    EXPECT_EQ(value, "a=b");
    EXPECT_TRUE(splitSettingsPiece("Hint= x", key, value));
    EXPECT_EQ(key, "Hint");
    EXPECT_EQ(value, " x");
    EXPECT_TRUE(splitSettingsPiece("char=", key, value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(splitSettingsPiece("A", key, value));
}

TEST(SettingsFile, InterfaceTextsRefuseAmpersands) {
    EXPECT_TRUE(isValidInterfaceText("Ask me anything = now"));
    EXPECT_FALSE(isValidInterfaceText("Q&A"));
}
