#include "AppInfo.h"

// Placeholder until the former company's keys are migrated: nothing to move yet.
void MoveFormerKey(int, const char*)
{
}
