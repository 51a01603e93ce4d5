#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "core/errors.h"
#include "core/paths.h"
#include "tests/support/files.h"

TEST(ErrorText, FinalDotOnlyAfterBytesThatSortAfterDot) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"File not found", "File not found."},
        {"Done.", "Done."},
        {"List index out of bounds (0)", "List index out of bounds (0)"},
        {"Key may not contain equals sign (\"=\")", "Key may not contain equals sign (\"=\")"},
        {"ends with a blank ", "ends with a blank "},
        {"ends with a slash/", "ends with a slash/."},
        {"Größe: ü", "Größe: ü."},  // a UTF-8 byte sorts after "."
        {"42", "42."},
        {"comma,", "comma,"},
    };
    for (const auto& [message, shown] : cases) EXPECT_EQ(withFinalDot(message), shown) << message;
}

TEST(ErrorText, ApplicationErrorBoxNamesKindModuleAddressAndMessage) {
    EXPECT_EQ(applicationErrorText("EngineError", "parlomat", reinterpret_cast<void*>(0x1234),
                                   "No voice"),
              "Exception EngineError in module parlomat at 0x1234.\nNo voice.");
    const AppError error(errkind::kEngine, "No voice.");
    const std::string text = applicationErrorText(error);
    EXPECT_TRUE(text.starts_with("Exception EngineError in module ")) << text;
    EXPECT_TRUE(text.ends_with(".\nNo voice.")) << text;
}

TEST(Paths, ApplicationTitleIsTheFileNameCutAtTheFirstDotInTitleCase) {
    EXPECT_EQ(applicationTitle("/opt/x/parlomat"), "Parlomat");
    EXPECT_EQ(applicationTitle("/opt/x.y/PARLOMAT.bin.exe"), "Parlomat");
    EXPECT_EQ(applicationTitle("parlomat"), "Parlomat");
    EXPECT_EQ(applicationTitle("/a/.hidden"), "");
}

TEST(Paths, ProgramFolderEndsWithSeparatorAndIsTheExecutablesFolder) {
    const std::string folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(folder + fileNameOf(executablePath()), executablePath());
}

TEST(Paths, AbsolutePathIsMadeAgainstTheWorkingFolder) {
    TempWorkspace workspace;
    EXPECT_EQ(absolutePath("flash/x.txt"), workspace.path() + "flash/x.txt");
    EXPECT_EQ(absolutePath("/etc/hosts"), "/etc/hosts");
}

TEST(BotNames, UnsafeNamesAreRefusedAndOrdinaryOnesKept) {
    for (const std::string& name :
         std::vector<std::string>{"", ".", "..", "a/b", "/", std::string("a\0b", 3)})
        EXPECT_FALSE(isSafeFolderName(name)) << name;
    for (const std::string name : {"test", "My bot", "Bär & Co", "\"quoted\"", "...", ".x", "a.b"})
        EXPECT_TRUE(isSafeFolderName(name)) << name;
}
