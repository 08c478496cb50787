#pragma once

// Resource ids of the page chooser. Plain numbers: the portable form names the
// bitmap it shows, and windres reads this file too.

// The folder tree's images ilWebList: four 16x16 images side by side, silver
// (RGB 192, 192, 192) where they are transparent, in the order "web", "closed",
// "hfile", "open". Drawn by make-tree-images.py.
#define IDB_WEBLIST 201
