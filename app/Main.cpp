// Program entry: the application object (a static object) runs the program.
#include <windows.h>
#include "framework/App.h"

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmdLine, int show)
{
    return fw::AppMain(inst, cmdLine, show);
}
