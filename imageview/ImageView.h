// Image Preview: one tool window that shows the active panel's selected file as a picture,
// walks the panel's items, runs a slide show and has a full-screen view.
#pragma once
#include <windows.h>

class CMainFrame;
class ViewFrame;

// The Image Preview command: activates the open window or makes it.
void ImageView_Open(CMainFrame& frame);
bool ImageView_IsOpen();
// The selection of a panel changed; the window follows the active panel's.
void ImageView_SelectionChanged(CMainFrame& frame, ViewFrame* panel);
// The window's handle, or null.
HWND ImageView_Window();
