// Common main of every test executable: COM and the common controls once per process, and
// console output that is not lost when Wine's stdout is a pipe.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <stdio.h>
#include <string.h>
#include <gtest/gtest.h>

namespace {
class PlatformEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        OleInitialize(NULL);
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override { OleUninitialize(); }
};
}  // namespace

int main(int argc, char** argv)
{
    // The driver's own tests start this executable to show a message box and report the button.
    if (argc >= 3 && strcmp(argv[1], "--driver-box") == 0)
        return MessageBoxA(NULL, argv[2], "Driver box", MB_OKCANCEL);
    setvbuf(stdout, NULL, _IONBF, 0);
    setvbuf(stderr, NULL, _IONBF, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new PlatformEnvironment);
    return RUN_ALL_TESTS();
}
