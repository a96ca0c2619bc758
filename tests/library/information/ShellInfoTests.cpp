// The shell's answers without COM: the order of the five questions, the
// executable type split into its parts, and the image list's handle as a
// 32-bit property gives it.
#include "SimulatedFileSystem.h"

#include "com/AutomationError.h"
#include "information/ShellInfo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A shell that answers every question but those it is told to refuse, and
// keeps the questions it was asked.
class ScriptedShell final : public testing_support::SimulatedFileSystem {
public:
    UINT Refuse = 0;
    DWORD_PTR ExeType = 0;
    std::vector<UINT> Asked;

    DWORD_PTR ShellFileInfo(const std::wstring&, SHFILEINFOW& info, UINT flags) override
    {
        Asked.push_back(flags);
        if (flags == Refuse)
            return 0;
        info.dwAttributes = 0x40;
        info.iIcon = 3;
        return flags == SHGFI_EXETYPE ? ExeType : 1;
    }
};

TEST(AskShell, FiveQuestionsInOrderAndTheFirstRefusalEndsThem)
{
    const std::vector<UINT> order = {SHGFI_ATTRIBUTES, SHGFI_DISPLAYNAME, SHGFI_ICONLOCATION, SHGFI_SYSICONINDEX,
                                     SHGFI_TYPENAME};
    ScriptedShell shell;
    const auto answers = tovrin::AskShell(L"C:\\x.txt");
    ASSERT_TRUE(answers);
    EXPECT_EQ(shell.Asked, order);
    EXPECT_EQ(answers->Attributes, 0x40u);
    EXPECT_EQ(answers->SystemIconIndex, 3);
    EXPECT_EQ(answers->SystemImageList, 1u);

    shell.Asked.clear();
    shell.Refuse = SHGFI_ICONLOCATION;
    EXPECT_FALSE(tovrin::AskShell(L"C:\\x.txt"));
    EXPECT_EQ(shell.Asked, std::vector<UINT>(order.begin(), order.begin() + 3));
}

TEST(AskExecutableType, TheSignatureFromTheLowWordTheVersionFromTheHighWordsBytes)
{
    ScriptedShell shell;
    const struct {
        DWORD_PTR answer;
        const wchar_t* signature;
        long major, minor;
    } cases[] = {{0x030A454E, L"NE", 3, 10}, {0x04004550, L"PE", 4, 0}, {0x00005A4D, L"MZ", 0, 0}, {0, L"", 0, 0}};
    for (const auto& c : cases) {
        shell.ExeType = c.answer;
        const tovrin::ExecutableType type = tovrin::AskExecutableType(L"C:\\x.exe");
        EXPECT_EQ(type.Signature, c.signature) << std::hex << c.answer;
        EXPECT_EQ(type.Major, c.major) << std::hex << c.answer;
        EXPECT_EQ(type.Minor, c.minor) << std::hex << c.answer;
    }
}

TEST(ImageListHandle, ThirtyTwoBitHandlesPassAndWiderOnesRaiseOverflow)
{
    const struct {
        unsigned long long handle;
        long expected; // 0 for error 6
    } cases[] = {{0x00000000ULL, 0}, {0x00C0FFEEULL, 0x00C0FFEE}, {0x80001234ULL, long(0x80001234u)},
                 {0xFFFFFFFF80001234ULL, long(0x80001234u)}, {0x0000000100000000ULL, 0}, {0x00007FF612345678ULL, 0}};
    for (const auto& c : cases) {
        long value = -1;
        long error = 0;
        try {
            value = tovrin::ImageListHandleAsLong(c.handle);
        } catch (const tovrin::AutomationError& e) {
            error = e.Number();
        }
        if (c.expected == 0 && c.handle != 0) {
            EXPECT_EQ(error, 6) << std::hex << c.handle;
        } else {
            EXPECT_EQ(error, 0);
            EXPECT_EQ(value, c.expected) << std::hex << c.handle;
        }
    }
}

} // namespace
