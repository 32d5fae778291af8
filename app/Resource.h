// Resource identifiers of panorel.exe. Never renumber: the registry, policies and
// settings files depend on them.
#pragma once

#define IDR_MAINFRAME                128
