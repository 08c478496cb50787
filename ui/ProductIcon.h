#pragma once

// The product icon, which every window of the add-in shows in its title bar: an
// icon resource (16 and 32 pixels, 256 colours) of the module that carries the
// dialogs' resources. A plain number: windres reads this file too.
#define IDI_TAVISK 101
