#pragma once

// Resource ids of the add-in's dialogs. Plain numbers: the portable forms name the
// icon they show, and windres reads this file too.

// The product icon: 16 and 32 pixels, 256 colours.
#define IDI_TAVISK 101

// The common-controls v6 manifest the add-in activates around its windows is
// resource ISOLATIONAWARE_MANIFEST_RESOURCE_ID (2): an executable that includes
// these resources does not apply it by itself (that would be id 1).
