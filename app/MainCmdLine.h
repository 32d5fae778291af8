// The start-up request and the two parsers that fill it: the process command line (one argument
// at a time, through the framework) and a request text forwarded by another instance.
#pragma once
#include "framework/CmdLineInfo.h"
#include "shell/Pidl.h"
#include "util/VmCmdLine.h"

struct StartRequest {
    PIDL shared;              // for the first panel without a folder of its own
    PIDL folder[2];           // panel 1 and panel 2
    char file[2][MAX_PATH];   // items to select, empty when none
    int showMode = 0;         // 0 none, 1 minimize, 2 maximize, 3 iconize
    StartRequest() { Reset(); }
    void Reset();
    // Applies one path piece to a panel (0 or 1): a file selects itself in its folder.
    void SetPanelPath(int panel, const char* path);
    // A switch piece alone: only the show modes take effect.
    bool SetShowSwitch(const char* name);
};

// A request text such as "C:\a,D:\b" or "/maximize"; pieces are separated by commas.
class CMainCmdLine : public VmCmdLine {
public:
    CMainCmdLine(const char* text, StartRequest& request);
    void ParseParam(int index, const char* text) override;
    void ParseOption(const char* text) override;

private:
    StartRequest& m_request;
};

// The process command line: each argument is cut at commas into pieces.
class CMainCmdLineInfo : public fw::CommandLineInfo {
public:
    explicit CMainCmdLineInfo(StartRequest& request);
    void ParseParam(const char* text, bool isSwitch, bool isLast) override;

private:
    StartRequest& m_request;
};
