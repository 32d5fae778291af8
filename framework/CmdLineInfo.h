// The program's command line, split by the C run-time rules and handed to ParseParam one
// argument at a time.
#pragma once
#include <windows.h>

namespace fw {

class CommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FileNothing };
    virtual ~CommandLineInfo() = default;
    // text: the argument without its leading '/' or '-' when isSwitch.
    virtual void ParseParam(const char* text, bool isSwitch, bool isLast);

    ShellCommand m_nShellCommand = FileNew;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;
};

}  // namespace fw
