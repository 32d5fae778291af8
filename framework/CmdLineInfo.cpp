#include "CmdLineInfo.h"

namespace fw {

void CommandLineInfo::ParseParam(const char* text, bool isSwitch, bool)
{
    if (!isSwitch || !text)
        return;
    if (lstrcmpiA(text, "Embedding") == 0)
        m_bRunEmbedded = true;
    else if (lstrcmpiA(text, "Automation") == 0)
        m_bRunAutomated = true;
}

}  // namespace fw
