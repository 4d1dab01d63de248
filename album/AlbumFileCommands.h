// Module data of the file commands (AlbumFileCommands.cpp).
#pragma once

// The save dialog's type choice, counted from 1 in filter order. It lives
// as long as the module, so a reopened browser preselects the last
// confirmed type.
extern int g_nSaveFilterIndex;
