// Veskar.exe: lists the chunks of one PNG file.
#include "modMain.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int showCommand)
{
    return veskar::Main(showCommand);
}
