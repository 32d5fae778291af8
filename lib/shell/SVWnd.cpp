#include "SVWnd.h"

// Both keep the behaviour of VmWndEx; they exist so a panel can tell the two windows apart.
SVWnd::SVWnd() {}
SVWnd::~SVWnd() {}

SVLVWnd::SVLVWnd() {}
SVLVWnd::~SVLVWnd() {}
